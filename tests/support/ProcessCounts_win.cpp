#include "ProcessCounts.h"

#include <cstdlib>

#include <windows.h>

#include <tlhelp32.h>

namespace testing_support {

std::size_t OpenHandleCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

std::size_t ThreadCount() {
    const DWORD self = ::GetCurrentProcessId();
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == self;
    }
    ::CloseHandle(snapshot);
    return count;
}

void SetEnvironment(const char* name, const std::string& value) {
    ::_putenv_s(name, value.c_str());
}

std::string GetEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ProfileServiceSpeaksGbk() {
    return ::GetACP() == 936;
}

} // namespace testing_support
