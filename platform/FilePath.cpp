#include "FilePath.h"

#include "FileSystem.h"
#include "Gbk.h"

namespace platform {

FilePath FilePath::FromNative(std::string bytes) {
    FilePath path;
    path.native_ = std::move(bytes);
    return path;
}

// Both systems spell a GBK character in UTF-8 (on Windows, inside WTF-8).
FilePath FilePath::FromText(std::string_view gbk) {
    return FromNative(GbkToUtf8(gbk));
}

std::string FilePath::ToText() const {
    return Utf8ToGbk(native_);
}

static std::size_t AfterLastDelimiter(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathDelimiter(path[i - 1])) {
            return i;
        }
    }
    return 0;
}

FilePath FilePath::Folder() const {
    return FromNative(native_.substr(0, AfterLastDelimiter(native_)));
}

std::string_view FilePath::FileName() const {
    return std::string_view(native_).substr(AfterLastDelimiter(native_));
}

FilePath FilePath::Join(std::string_view gbkName) const {
    std::string joined = native_;
    if (joined.empty() || !IsPathDelimiter(joined.back())) {
        joined += kPathDelim;
    }
    return FromNative(joined + GbkToUtf8(gbkName));
}

FilePath FilePath::Plus(std::string_view gbkText) const {
    return FromNative(native_ + GbkToUtf8(gbkText));
}

std::string FileUrl(const FilePath& file) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string path = file.Native();
    for (char& c : path) {
        if (IsPathDelimiter(c) && c != ':') {
            c = '/';
        }
    }
    std::string url = "file://";
    if (path.rfind("//", 0) == 0) {
        path.erase(0, 2); // a share on another computer: file://server/share/...
    } else if (path.empty() || path.front() != '/') {
        url += '/'; // a drive letter: file:///C:/...
    }
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                           (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' || b == '~' ||
                           b == '/' || b == ':';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[b >> 4];
            url += kHex[b & 15];
        }
    }
    return url;
}

} // namespace platform
