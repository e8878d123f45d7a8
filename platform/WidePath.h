#pragma once

// Windows only: a path as the W functions take it, and back.

#include "FilePath.h"
#include "Wtf8.h"

#include <string>

namespace platform {

// A path that is no WTF-8 names no file: it becomes the empty path, which
// every file call refuses, rather than a name with U+FFFD in it that other
// bytes would name too.
inline std::wstring WidePath(const FilePath& path) {
    if (!IsWtf8(path.Native())) {
        return std::wstring();
    }
    const std::u16string utf16 = Wtf8ToUtf16(path.Native());
    return std::wstring(utf16.begin(), utf16.end());
}

// A path for the calls of the shell that stop at MAX_PATH (ShellExecuteW, a
// shortcut's IShellLinkW, the save dialog's folder): the path itself while it
// is shorter than that, else its short (8.3) form when the volume has one and
// it is shorter, else empty (such a call cannot be given the path). The
// program's own file calls take any length (see FileSystem.h).
std::wstring ShellPath(const std::wstring& path);

inline FilePath PathFromWide(std::wstring_view wide) {
    return FilePath::FromNative(Utf16ToWtf8(std::u16string(wide.begin(), wide.end())));
}

} // namespace platform
