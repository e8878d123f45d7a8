#include "ProcessCounts.h"

#include <cstdlib>

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

void SetEnvironment(const char* name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
}

std::string GetEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace testing_support
