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

} // namespace platform
