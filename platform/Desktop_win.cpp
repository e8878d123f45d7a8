#include "Desktop.h"

#include "FileSystem.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>

namespace platform {

std::string DesktopFolder() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                        KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    char buffer[MAX_PATH * 4] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    const LONG rc =
        ::RegQueryValueExA(key, "Desktop", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return std::string(buffer);
}

std::string ShortcutExtension() {
    return ".lnk";
}

void WriteShortcut(const std::string& linkPath, const std::string& target,
                   const std::string& arguments, const std::string& workingDir,
                   const std::string& description) {
    ::OleInitialize(nullptr);
    struct Uninitialize {
        ~Uninitialize() { ::OleUninitialize(); }
    } uninitialize;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))) ||
        link == nullptr) {
        throw std::runtime_error("the Shell Link object cannot be created");
    }
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        file == nullptr) {
        link->Release();
        throw std::runtime_error("the Shell Link object has no IPersistFile");
    }
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingDir.c_str());
    link->SetDescription(description.c_str());
    // The path goes to IPersistFile as UTF-16; the results are not examined.
    std::wstring wide(static_cast<std::size_t>(linkPath.size()) + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide.data(),
                                        static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    // A shortcut of the same name is replaced without a question; removing it
    // first also replaces one that another process still holds open.
    ::DeleteFileW(wide.c_str());
    file->Save(wide.c_str(), FALSE);
    file->Release();
    link->Release();
}

} // namespace platform
