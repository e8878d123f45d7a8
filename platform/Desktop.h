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
void WriteShortcut(const FilePath& linkPath, const FilePath& target, const std::string& arguments,
                   const FilePath& workingDir, const std::string& description);

} // namespace platform
