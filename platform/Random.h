#pragma once

namespace platform {

// A pseudo-random integer from 0 to maxInclusive, both included. Safe to call
// from any number of threads at once: each thread draws from its own generator.
int RandomInt(int maxInclusive);

} // namespace platform
