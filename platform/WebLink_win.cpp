#include "WebLink.h"

#include "WidePath.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

// The address is GBK text (a file: address is escaped ASCII); the shell gets
// it as UTF-16, whatever the system's code page.
void OpenWithSystem(const std::string& address) {
    ::ShellExecuteW(nullptr, nullptr, WidePath(FilePath::FromText(address)).c_str(), nullptr,
                    nullptr, SW_SHOWNORMAL);
}

// The shell gets the path in UTF-16: whatever script the folder is named in,
// on whatever code page, the file it names is the one opened. A path past
// MAX_PATH goes in its short form, which the shell can take.
bool OpenFileWithSystem(const FilePath& file) {
    const std::wstring path = ShellPath(WidePath(file));
    if (path.empty()) {
        return false;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace platform
