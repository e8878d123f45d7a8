#pragma once

#include "FilePath.h"

#include <functional>
#include <string>

namespace platform {

// Opens a web address with the system's default handler (the user's browser).
// The outcome is not reported: a failure shows nothing.
void OpenWebAddress(const std::string& address);

// Opens a file of this machine (the help page) with the system's handler. On
// Windows the shell is given the file's path: parts of it read the escaped
// UTF-8 of a file: address in the system's code page, and a folder named in
// another script would not be found. Elsewhere the desktop's opener gets the
// file: address. A test's handler gets the file: address too. False when the
// system could not be asked to open it (on Windows: a path the shell cannot
// take, or the shell's refusal), so the caller can say so.
bool OpenLocalFile(const FilePath& file);

// Tests take the addresses here instead of a browser; an empty handler puts
// the system's back.
void SetWebAddressHandler(std::function<void(const std::string& address)> handler);

// The system's own openers, one per system.
void OpenWithSystem(const std::string& address);
bool OpenFileWithSystem(const FilePath& file);

} // namespace platform
