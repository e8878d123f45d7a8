#include "WebLink.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

void OpenWithSystem(const std::string& address) {
    ::ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace platform
