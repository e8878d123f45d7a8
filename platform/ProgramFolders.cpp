#include "ProgramFolders.h"

#include "FileSystem.h"

namespace platform {

ProgramFolders LocateProgramFolders(const FilePath& executablePath, const FilePath& userSettings) {
    const FilePath executableFolder = executablePath.Folder();
    const FilePath data = InstalledDataFolder(executableFolder);
    if (!userSettings.empty() && FileExists(data.Join(kInstalledMarker))) {
        return {true, userSettings, data};
    }
    return {false, executableFolder, executableFolder};
}

} // namespace platform
