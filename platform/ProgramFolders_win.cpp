#include "ProgramFolders.h"

#include "WidePath.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

namespace platform {

FilePath InstalledDataFolder(const FilePath& executableFolder) {
    return executableFolder;
}

FilePath UserSettingsFolder() {
    PWSTR folder = nullptr;
    FilePath settings;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)) &&
        folder != nullptr && folder[0] != L'\0') {
        settings = PathFromWide(folder).Join("Vantreel");
    }
    ::CoTaskMemFree(folder);
    return settings;
}

} // namespace platform
