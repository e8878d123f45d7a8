#pragma once

#include "RunController.h"

#include <algorithm>
#include <string>
#include <vector>

namespace testing_support {

// What the run controller shows, kept for a test to read.
struct RecordingView final : IRunView {
    std::vector<std::string> statuses, logs, messages;
    std::vector<int> pauses;
    int total = -1, completed = -1, percent = -1;

    void SetStatusText(const std::string& text) override { statuses.push_back(text); }
    void ShowProgress(const TProgress& p) override {
        total = p.Total();
        completed = p.Completed();
        percent = p.Percent();
    }
    void AppendLog(const std::string& line) override { logs.push_back(line); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void PauseUserInterface(int ms) override { pauses.push_back(ms); }

    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }
    static std::size_t Count(const std::vector<std::string>& v, const std::string& s) {
        return static_cast<std::size_t>(std::count(v.begin(), v.end(), s));
    }
};

} // namespace testing_support
