#include "ProcessCounts.h"

#include <cstdlib>

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>

namespace testing_support {

std::size_t OpenHandleCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

// The threads this program started itself: those whose start routine lies in
// the executable. Threads that system libraries keep for themselves (the pool
// that runs WinHTTP's callbacks, which lets an idle thread go only after
// seconds, or WinHTTP's connection keeper) are not the program's to end.
std::size_t ThreadCount() {
    using QueryThread = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    constexpr int kThreadQuerySetWin32StartAddress = 9;
    MODULEINFO image{};
    ::GetModuleInformation(::GetCurrentProcess(), ::GetModuleHandleW(nullptr), &image,
                           sizeof image);
    const auto first = reinterpret_cast<std::uintptr_t>(image.lpBaseOfDll);
    const auto last = first + image.SizeOfImage;

    const DWORD self = ::GetCurrentProcessId();
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != self) {
            continue;
        }
        HANDLE thread = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        std::uintptr_t start = 0;
        const bool known =
            thread != nullptr && query != nullptr &&
            query(thread, kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr) == 0;
        if (thread != nullptr) {
            ::CloseHandle(thread);
        }
        count += !known || (start >= first && start < last);
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

} // namespace testing_support
