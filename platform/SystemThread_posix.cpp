#include "SystemThread.h"

#include <chrono>
#include <condition_variable>
#include <thread>

namespace platform {

struct SystemThread::Impl {
    std::thread thread;
};

SystemThread::SystemThread() noexcept = default;

SystemThread::SystemThread(std::function<void()> body) : impl_(std::make_unique<Impl>()) {
    impl_->thread = std::thread(std::move(body));
}

SystemThread::SystemThread(SystemThread&& other) noexcept = default;

SystemThread& SystemThread::operator=(SystemThread&& other) noexcept {
    if (this != &other) {
        Detach();
        impl_ = std::move(other.impl_);
    }
    return *this;
}

SystemThread::~SystemThread() {
    Detach();
}

bool SystemThread::Joinable() const noexcept {
    return impl_ && impl_->thread.joinable();
}

void SystemThread::Join() {
    if (Joinable()) {
        impl_->thread.join();
    }
}

void SystemThread::Detach() noexcept {
    if (Joinable()) {
        impl_->thread.detach();
    }
}

bool SystemThread::IsCurrent() const noexcept {
    return Joinable() && impl_->thread.get_id() == std::this_thread::get_id();
}

struct Mutex::Impl {
    std::mutex mutex;
};

Mutex::Mutex() : impl_(std::make_unique<Impl>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() {
    impl_->mutex.lock();
}
void Mutex::unlock() {
    impl_->mutex.unlock();
}

struct Condition::Impl {
    std::condition_variable_any condition;
};

Condition::Condition() : impl_(std::make_unique<Impl>()) {}
Condition::~Condition() = default;

void Condition::NotifyAll() {
    impl_->condition.notify_all();
}

bool Condition::Wait(std::unique_lock<Mutex>& lock, std::int64_t ms,
                     const std::function<bool()>& pred) {
    if (ms < 0) {
        impl_->condition.wait(lock, pred);
        return true;
    }
    return impl_->condition.wait_for(lock, std::chrono::milliseconds(ms), pred);
}

} // namespace platform
