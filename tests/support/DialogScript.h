#pragma once

#include "Dialogs.h"
#include "TestUtil.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Stands in for a window's boxes and dialogs while it lives: keeps what the
// boxes would show and answers the input box and the save dialog from queues
// (an empty queue cancels). Installed on construction, removed on destruction.
class DialogScript {
public:
    struct Message {
        std::string text;
        dialogs::Icon icon;
    };
    std::vector<Message> messages;
    std::deque<std::pair<bool, std::string>> inputs;       // answers for the input box
    std::deque<std::pair<bool, platform::FilePath>> saves; // answers for the save dialog
    std::vector<dialogs::SaveOptions> saveOptions;
    // Runs while a message box is up, as its own loop would (optional).
    std::function<void(const std::string& text)> whileMessageShown;

    DialogScript() {
        script_.message = [this](const std::string& text, dialogs::Icon icon) {
            messages.push_back({text, icon});
            if (whileMessageShown) {
                whileMessageShown(text);
            }
        };
        script_.input = [this](const std::string&, const std::string&, std::string& value) {
            return TakeScripted(inputs, value);
        };
        script_.save = [this](const dialogs::SaveOptions& options, platform::FilePath& chosen) {
            saveOptions.push_back(options);
            return TakeScripted(saves, chosen);
        };
        dialogs::SetScript(&script_);
    }
    ~DialogScript() { dialogs::SetScript(nullptr); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

private:
    dialogs::Script script_;
};

} // namespace testing_support
