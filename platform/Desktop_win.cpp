#include "Desktop.h"

#include "FileSystem.h"
#include "Gbk.h"
#include "WidePath.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>

namespace platform {
namespace {

// GBK text to UTF-16 for the shell (every GBK character has one).
std::wstring WideText(const std::string& gbk) {
    return WidePath(FilePath::FromText(gbk));
}

} // namespace

FilePath DesktopFolder() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                        KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring buffer(32768, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    const LONG rc = ::RegQueryValueExW(key, L"Desktop", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer.data()), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    buffer.resize(size / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') {
        buffer.pop_back();
    }
    if (type == REG_EXPAND_SZ) {
        std::wstring expanded(32768, L'\0');
        const DWORD n = ::ExpandEnvironmentStringsW(buffer.c_str(), expanded.data(),
                                                    static_cast<DWORD>(expanded.size()));
        if (n == 0 || n > expanded.size()) {
            return {};
        }
        expanded.resize(n - 1);
        buffer = expanded;
    }
    const FilePath folder = PathFromWide(buffer);
    return DirectoryExists(folder) ? folder : FilePath();
}

std::string ShortcutExtension() {
    return ".lnk";
}

bool WriteShortcut(const FilePath& linkPath, const FilePath& target, const std::string& arguments,
                   const FilePath& workingDir, const std::string& description) {
    // Every OleInitialize that succeeded (S_FALSE too: already initialised on
    // this thread) is paired with one OleUninitialize, and only such a one.
    const HRESULT initialized = ::OleInitialize(nullptr);
    struct Uninitialize {
        bool paired;
        ~Uninitialize() {
            if (paired) {
                ::OleUninitialize();
            }
        }
    } uninitialize{SUCCEEDED(initialized)};
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
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
    // A shortcut holds paths below MAX_PATH: a longer one goes in its short
    // form. A program whose path has none cannot be named by a shortcut.
    const std::wstring targetPath = ShellPath(WidePath(target));
    if (targetPath.empty()) {
        file->Release();
        link->Release();
        return false;
    }
    link->SetPath(targetPath.c_str());
    link->SetArguments(WideText(arguments).c_str());
    link->SetWorkingDirectory(ShellPath(WidePath(workingDir)).c_str());
    link->SetDescription(WideText(description).c_str());
    // A shortcut of the same name is replaced without a question; removing it
    // first also replaces one that another process still holds open. The
    // results are not examined: a refused shortcut only means no shortcut.
    // The desktop folder too may lie past MAX_PATH: the shortcut file is
    // named with its folder's short form there.
    const std::wstring whole = WidePath(linkPath);
    const std::wstring shell = ShellPath(whole);
    const std::wstring wide = shell.empty() ? whole : shell;
    ::DeleteFileW(wide.c_str());
    file->Save(wide.c_str(), FALSE);
    file->Release();
    link->Release();
    return true;
}

} // namespace platform
