#pragma once

#include <string>

namespace platform {

// Opens a web address with the system's default handler (the user's browser).
// The outcome is not reported: a failure shows nothing.
void OpenWebAddress(const std::string& address);

} // namespace platform
