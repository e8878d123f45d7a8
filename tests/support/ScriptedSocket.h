#pragma once

#include "TcpSocket.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

namespace testing_support {

// A connection that behaves as a test says, for what a real socket on the
// test's system cannot show: a send that runs out of time, or a reset where
// the system (Wine) reads one as the end of the stream. Every connection it
// opens answers the same way.
class ScriptedSocket final : public platform::IStreamSocket {
public:
    struct Script {
        long sendResult = -2; // what Send returns; -2: the whole request
        std::string answer;   // the bytes that arrive
        int end = kClosed;    // after them: kClosed or kBroken
    };
    struct Seen {
        std::atomic<int> opens{0};
        std::atomic<int> sends{0};
        std::atomic<int> waits{0};
    };

    ScriptedSocket(Script script, std::shared_ptr<Seen> seen)
        : script_(std::move(script)), seen_(std::move(seen)) {}

    bool Open(const std::string&, std::uint16_t) override {
        ++seen_->opens;
        if (cut_) {
            return false;
        }
        connected_ = true;
        at_ = 0;
        return true;
    }
    bool Connected() const override { return connected_; }
    long Send(const char*, std::size_t size, int) override {
        ++seen_->sends;
        return script_.sendResult == -2 ? static_cast<long>(size) : script_.sendResult;
    }
    Wait WaitReadable(int) override {
        ++seen_->waits;
        return cut_ ? Wait::Cut : Wait::Ready;
    }
    int Receive(char* buffer, int size) override {
        if (at_ < script_.answer.size()) {
            const std::size_t n =
                std::min(script_.answer.size() - at_, static_cast<std::size_t>(size));
            std::memcpy(buffer, script_.answer.data() + at_, n);
            at_ += n;
            return static_cast<int>(n);
        }
        return script_.end;
    }
    void Close() override { connected_ = false; }
    void Cut() override { cut_ = true; }

private:
    const Script script_;
    std::shared_ptr<Seen> seen_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> cut_{false};
    std::size_t at_ = 0;
};

} // namespace testing_support
