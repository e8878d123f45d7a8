#pragma once

#include "Main.h"
#include "RdapTestServer.h"
#include "WhoisTestServer.h"
#include "WorkerHarness.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

namespace testing_support {

// The window tests' road with both services on loopback: the WHOIS server
// refuses every third question it gets and answers the rest (AiAi registered,
// every other name free); the RDAP service answers each refused name, calling
// a name of odd length registered and any other free.
class TwoServiceRoad {
public:
    WhoisTestServer whois;
    RdapTestServer rdap;

    TwoServiceRoad() {
        whois.SetResponder([this](const std::string& request) {
            const std::string name = WhoisTestServer::NameOf(request);
            if (++asked_ % 3 == 0) {
                std::lock_guard lock(mutex_);
                refused_.insert(name);
                return Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED\r\n", {}, 0};
            }
            return Reply{Reply::Mode::AnswerAndClose,
                         name == "AiAi" ? WhoisTestServer::RegisteredAnswer(name)
                                        : WhoisTestServer::NoMatchAnswer(name),
                         {},
                         0};
        });
        rdap.SetResponder([](const std::string& path) {
            const std::string name = RdapTestServer::NameOf(path);
            if (name.size() % 2 == 1) {
                HttpReply reply = RdapTestServer::Registered(name);
                reply.body = RdapTestServer::DomainJson(name, "2012-04-01T16:00:00Z",
                                                        "2027-04-01T16:00:00+08:00");
                return reply;
            }
            return RdapTestServer::NotFound();
        });
    }

    // The stale road: WHOIS refuses every question and the RDAP address
    // answers 404 to every path, example.com's too. Nobody says a name is free.
    void MakeStale() {
        whois.SetResponder([this](const std::string& request) {
            std::lock_guard lock(mutex_);
            refused_.insert(WhoisTestServer::NameOf(request));
            return Reply{Reply::Mode::AnswerAndClose, "WHOIS LIMIT EXCEEDED\r\n", {}, 0};
        });
        rdap.SetAnswersExample(false);
        rdap.SetResponder([](const std::string&) { return RdapTestServer::NotFound(); });
    }

    TMainFormOptions Options() const {
        TMainFormOptions options;
        options.Seek = TestConfig(whois.Port());
        options.Seek.RdapBase = rdap.Base();
        return options;
    }

    // The bare names WHOIS refused.
    std::set<std::string> Refused() const {
        std::lock_guard lock(mutex_);
        return refused_;
    }

private:
    std::atomic<int> asked_{0};
    mutable std::mutex mutex_;
    std::set<std::string> refused_;
};

} // namespace testing_support
