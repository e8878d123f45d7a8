#pragma once

#include "SystemThread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace testing_support {

// The threads of a test server's connections, started with the system's own
// threads as connections come. Finished ones are reaped as new ones start, so
// a long run of connections does not pile up threads; all are joined at the end.
class ConnectionThreads {
public:
    ~ConnectionThreads() { JoinAll(); }

    void Start(std::function<void()> serve) {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->done->load()) {
                it->thread.Join();
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        entries_.push_back({platform::SystemThread([serve = std::move(serve), done] {
                                serve();
                                *done = true;
                            }),
                            done});
    }

    void JoinAll() {
        std::vector<Entry> entries;
        {
            std::lock_guard lock(mutex_);
            entries.swap(entries_);
        }
        for (auto& entry : entries) {
            entry.thread.Join();
        }
    }

private:
    struct Entry {
        platform::SystemThread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

} // namespace testing_support
