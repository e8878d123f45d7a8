#pragma once

#include <cstddef>
#include <string>

namespace testing_support {

// What the process holds now, to tell that a test left nothing behind.
std::size_t OpenHandleCount(); // file descriptors, sockets, handles
std::size_t ThreadCount();

// Sets an environment variable of this process (an empty value removes it).
void SetEnvironment(const char* name, const std::string& value);
std::string GetEnvironment(const char* name);

} // namespace testing_support
