#include "WebLink.h"

#include "Gbk.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace platform {

void OpenWebAddress(const std::string& address) {
    const QString text = QString::fromUtf8(GbkToUtf8(address));
    QDesktopServices::openUrl(QUrl(text, QUrl::TolerantMode));
}

} // namespace platform
