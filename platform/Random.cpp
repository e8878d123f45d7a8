#include "Random.h"

#include <random>

namespace platform {

int RandomInt(int maxInclusive) {
    if (maxInclusive <= 0) {
        return 0;
    }
    thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, maxInclusive)(generator);
}

} // namespace platform
