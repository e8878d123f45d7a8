#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock: never goes back and never wraps, unlike a
// 32-bit system tick count that wraps after 49.7 days.
std::int64_t TickCountMs();

} // namespace platform
