#pragma once

#include "FilePath.h"

#include <string_view>

namespace platform {

// Where a copy of the program keeps its settings file and finds its help.
//
// A copy laid down by the Debian package or the Windows setup program carries
// a marker file (kInstalledMarker) in its data folder. Its own folder is not
// the user's to write (/usr/bin, Program Files), so it keeps kestrova.ini in
// the user's settings folder and finds the help where the package put it.
// Every other copy (the portable zip, a build tree) keeps kestrova.ini beside
// the executable and its help in "help" beside it, as the program always did.
struct ProgramFolders {
    bool Installed = false;
    FilePath Settings; // the folder of kestrova.ini
    FilePath Data;     // the folder that holds "help"
};

inline constexpr std::string_view kInstalledMarker = "installed.txt";

// userSettings is the folder an installed copy keeps its settings in (see
// UserSettingsFolder); when it is empty, an installed copy falls back to the
// folder beside the executable.
ProgramFolders LocateProgramFolders(const FilePath& executablePath, const FilePath& userSettings);

// The folder an installed copy keeps its shared files in, the help among
// them, given the executable's folder: "../share/vantreel" from /usr/bin on
// Linux; the program's own folder on Windows.
FilePath InstalledDataFolder(const FilePath& executableFolder);

// The user's own settings folder for this program: $XDG_CONFIG_HOME/vantreel
// (by default ~/.config/vantreel) on Linux, the roaming application data
// folder's Vantreel on Windows. Empty when the system names none. It need
// not exist yet: the first save creates it.
FilePath UserSettingsFolder();

} // namespace platform
