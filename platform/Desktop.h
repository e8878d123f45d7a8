#pragma once

#include <string>

namespace platform {

// The current user's desktop folder, or "" when it cannot be determined or does
// not exist. Never fails loudly.
std::string DesktopFolder();

// The file ending of a desktop shortcut on this system (".lnk", ".desktop").
std::string ShortcutExtension();

// Writes (or replaces) a shortcut file at linkPath that starts target with
// arguments in workingDir, with description as its comment.
// Throws std::runtime_error when the shortcut machinery itself is unavailable.
void WriteShortcut(const std::string& linkPath, const std::string& target,
                   const std::string& arguments, const std::string& workingDir,
                   const std::string& description);

} // namespace platform
