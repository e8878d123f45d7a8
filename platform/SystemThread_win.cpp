// Threads, locks and conditions straight from the Win32 API.
#include "SystemThread.h"

#include <windows.h>

#include <process.h>

#include <system_error>

namespace platform {
namespace {

unsigned __stdcall ThreadStart(void* parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    try {
        (*body)();
    } catch (...) {
        // An error that escapes a thread's body ends that thread, not the program.
    }
    return 0;
}

} // namespace

struct SystemThread::Impl {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

SystemThread::SystemThread() noexcept = default;

SystemThread::SystemThread(std::function<void()> body) {
    auto parameter = std::make_unique<std::function<void()>>(std::move(body));
    unsigned id = 0;
    const auto handle = _beginthreadex(nullptr, 0, &ThreadStart, parameter.get(), 0, &id);
    if (handle == 0) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "no thread could be started");
    }
    parameter.release(); // the thread owns it now
    impl_ = std::make_unique<Impl>();
    impl_->handle = reinterpret_cast<HANDLE>(handle);
    impl_->id = id;
}

SystemThread::SystemThread(SystemThread&& other) noexcept = default;

SystemThread& SystemThread::operator=(SystemThread&& other) noexcept {
    if (this != &other) {
        Detach();
        impl_ = std::move(other.impl_);
    }
    return *this;
}

SystemThread::~SystemThread() {
    Detach();
}

bool SystemThread::Joinable() const noexcept {
    return impl_ && impl_->handle != nullptr;
}

void SystemThread::Join() {
    if (Joinable()) {
        ::WaitForSingleObject(impl_->handle, INFINITE);
        ::CloseHandle(impl_->handle);
        impl_->handle = nullptr;
    }
}

void SystemThread::Detach() noexcept {
    if (Joinable()) {
        ::CloseHandle(impl_->handle);
        impl_->handle = nullptr;
    }
}

bool SystemThread::IsCurrent() const noexcept {
    return Joinable() && impl_->id == ::GetCurrentThreadId();
}

struct Mutex::Impl {
    SRWLOCK lock = SRWLOCK_INIT;
};

Mutex::Mutex() : impl_(std::make_unique<Impl>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() {
    ::AcquireSRWLockExclusive(&impl_->lock);
}
void Mutex::unlock() {
    ::ReleaseSRWLockExclusive(&impl_->lock);
}

struct Condition::Impl {
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

Condition::Condition() : impl_(std::make_unique<Impl>()) {}
Condition::~Condition() = default;

void Condition::NotifyAll() {
    ::WakeAllConditionVariable(&impl_->condition);
}

bool Condition::Wait(std::unique_lock<Mutex>& lock, std::int64_t ms,
                     const std::function<bool()>& pred) {
    SRWLOCK* srw = &lock.mutex()->impl_->lock;
    const ULONGLONG deadline = ms < 0 ? 0 : ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (!pred()) {
        DWORD wait = INFINITE;
        if (ms >= 0) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) {
                return false;
            }
            wait = static_cast<DWORD>(deadline - now);
        }
        ::SleepConditionVariableSRW(&impl_->condition, srw, wait, 0);
    }
    return true;
}

} // namespace platform
