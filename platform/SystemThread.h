#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

// A thread of the system's own: on Windows started with _beginthreadex, not
// through the C++ runtime's POSIX emulation (winpthreads), whose thread starts
// were seen to hang or crash under load; std::thread elsewhere.
class SystemThread {
public:
    SystemThread() noexcept;
    // Starts body at once; throws std::system_error when the system has no
    // thread to give.
    explicit SystemThread(std::function<void()> body);
    SystemThread(SystemThread&& other) noexcept;
    SystemThread& operator=(SystemThread&& other) noexcept; // lets a joinable one go
    ~SystemThread();                                        // lets a joinable one go

    bool Joinable() const noexcept;
    void Join();
    // Lets the thread run on unowned; it must hold whatever it still uses.
    void Detach() noexcept;
    // Whether the calling thread is this one.
    bool IsCurrent() const noexcept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A lock for parking threads: a slim reader/writer lock on Windows, std::mutex
// elsewhere. Use it with std::lock_guard and std::unique_lock.
class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void lock();
    void unlock();

private:
    friend class Condition;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A condition to park on under a Mutex: the system's condition variable on
// Windows, std::condition_variable_any elsewhere.
class Condition {
public:
    Condition();
    ~Condition();
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    void NotifyAll();
    // With the lock held: waits until pred holds (tested under the lock) or ms
    // pass (ms < 0: no limit); returns pred() as it stands at the end.
    bool Wait(std::unique_lock<Mutex>& lock, std::int64_t ms, const std::function<bool()>& pred);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
