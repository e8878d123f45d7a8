#pragma once

#include <cstddef>

namespace testing_support {

// What the process holds now, to tell that a test left nothing behind.
std::size_t OpenHandleCount(); // file descriptors, sockets, handles
std::size_t ThreadCount();

} // namespace testing_support
