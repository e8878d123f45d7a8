#pragma once

#include "FilePath.h"
#include "Gbk.h"

#include <QFile>

#include <QString>
#include <string>

// The edge between the program's GBK texts and the toolkit's UTF-16 strings.
inline QString Q(const std::string& gbk) {
    return QString::fromUtf8(platform::GbkToUtf8(gbk));
}
inline std::string Gbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return platform::Utf8ToGbk(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}
// A file's path: its bytes as the file system spells them, never through GBK.
inline QString QPath(const platform::FilePath& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.Native()));
}
inline platform::FilePath PathOf(const QString& path) {
    return platform::FilePath::FromNative(QFile::encodeName(path).toStdString());
}
// A UTF-8 literal of the source as a QString.
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}
