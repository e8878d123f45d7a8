#pragma once

#include <functional>
#include <string>

namespace platform {

// Opens a web address with the system's default handler (the user's browser).
// The outcome is not reported: a failure shows nothing.
void OpenWebAddress(const std::string& address);

// Tests take the addresses here instead of a browser; an empty handler puts
// the system's back.
void SetWebAddressHandler(std::function<void(const std::string& address)> handler);

// The system's own opener, one per system.
void OpenWithSystem(const std::string& address);

} // namespace platform
