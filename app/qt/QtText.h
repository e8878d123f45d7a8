#pragma once

#include "Gbk.h"

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
// A UTF-8 literal of the source as a QString.
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}
