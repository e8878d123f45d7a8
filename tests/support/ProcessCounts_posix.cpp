#include "ProcessCounts.h"

#include <filesystem>

namespace testing_support {
namespace {

std::size_t CountEntries(const char* folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

} // namespace

std::size_t OpenHandleCount() {
    return CountEntries("/proc/self/fd");
}

std::size_t ThreadCount() {
    return CountEntries("/proc/self/task");
}

} // namespace testing_support
