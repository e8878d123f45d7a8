#include "ProcessCounts.h"

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

} // namespace testing_support
