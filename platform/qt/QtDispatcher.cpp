#include "QtDispatcher.h"

#include <QMetaObject>

namespace platform {

QtDispatcher::QtDispatcher()
    : queue_([this] {
          QMetaObject::invokeMethod(
              &receiver_, [this] { queue_.PumpAll(); }, Qt::QueuedConnection);
      }) {}

QtDispatcher::~QtDispatcher() {
    Shutdown();
}

bool QtDispatcher::RunAndWait(const std::function<void()>& fn) {
    return queue_.RunAndWait(fn);
}

void QtDispatcher::Shutdown() {
    queue_.Shutdown();
}

} // namespace platform
