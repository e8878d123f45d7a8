#pragma once

#include "FilePath.h"

#include <string>

namespace platform {

// The current user's desktop folder, or an empty path when it cannot be
// determined or does not exist. Never fails loudly.
FilePath DesktopFolder();

// The file ending of a desktop shortcut on this system (".lnk", ".desktop").
std::string ShortcutExtension();

// Writes (or replaces) a shortcut file at linkPath that starts target with
// arguments in workingDir, with description as its comment. arguments and
// description are GBK texts.
// Throws std::runtime_error when the shortcut machinery itself is unavailable.
// False, and nothing written, when target cannot be named in a shortcut (on
// Windows: a path past MAX_PATH without a short form); true otherwise, even
// when the desktop refused the file (a refused shortcut only means none).
bool WriteShortcut(const FilePath& linkPath, const FilePath& target, const std::string& arguments,
                   const FilePath& workingDir, const std::string& description);

} // namespace platform
