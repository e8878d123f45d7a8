#pragma once

#include "Main.h"
#include "MainView.h"
#include "TestUtil.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A view without a toolkit: it keeps what the form shows and answers the
// dialogs from a script, so the form's handlers can be tested on any system.
class ScriptedView final : public IMainView {
public:
    struct Message {
        std::string text;
        bool error;
    };

    // What the form showed.
    std::string caption;
    std::string countLabel = "\xB9\xB2"
                             "0000\xB8\xF6\xD3\xF2\xC3\xFB"; // 共0000个域名
    std::vector<std::string> statuses;
    TProgress progress;
    std::vector<std::string> log;
    std::vector<Message> messages;
    std::vector<int> pauses;
    std::vector<std::string> profileNames;
    int selectedProfile = -1;
    std::vector<dialogs::SaveOptions> saveOptions;
    std::vector<std::string> clipboard; // every text put there, in order
    bool clipboardFree = true;          // false: another program holds it
    int aboutBoxes = 0;
    int closes = 0;

    // The inputs the user set.
    std::string memo;
    TProfileValues filters;

    // Answers for the dialogs, taken in order; an empty queue cancels.
    std::deque<std::pair<bool, std::string>> inputs;
    std::deque<std::pair<bool, platform::FilePath>> saves;

    // Runs inside a message box, as its nested event loop would (optional).
    std::function<void(const std::string& text)> whileMessageShown;

    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }

    void SetStatusText(const std::string& text) override { statuses.push_back(text); }
    void ShowProgress(const TProgress& p) override { progress = p; }
    void AppendLog(const std::string& line) override { log.push_back(line); }
    void ShowMessage(const std::string& text) override {
        messages.push_back({text, false});
        if (whileMessageShown) {
            whileMessageShown(text);
        }
    }
    void PauseUserInterface(int ms) override { pauses.push_back(ms); }
    void SetCaption(const std::string& text) override { caption = text; }
    std::string MemoText() const override { return memo; }
    TProfileValues FilterValues() const override { return filters; }
    void SetFilterValues(const TProfileValues& values) override { filters = values; }
    void SetCountLabel(const std::string& text) override { countLabel = text; }
    void SetProfileNames(const std::vector<std::string>& names) override { profileNames = names; }
    void SelectProfile(int index) override { selectedProfile = index; }
    void ShowError(const std::string& text) override { messages.push_back({text, true}); }
    bool AskSaveFileName(const dialogs::SaveOptions& options, platform::FilePath& chosen) override {
        saveOptions.push_back(options);
        return TakeScripted(saves, chosen);
    }
    bool AskText(const std::string&, const std::string&, std::string& value, int) override {
        return TakeScripted(inputs, value);
    }
    bool SetClipboardText(const std::string& text) override {
        if (!clipboardFree) {
            return false;
        }
        clipboard.push_back(text);
        return true;
    }
    void ShowAboutBox() override { ++aboutBoxes; }
    void CloseWindow() override { ++closes; }
    void RequestPump() override {} // the test thread pumps the form's dispatcher
};

} // namespace testing_support
