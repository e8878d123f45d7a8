#pragma once

#include <functional>
#include <string>

class QWidget;

// The program's modal boxes and dialogs. Each goes through a hook that tests
// replace with a script, so no test ever waits on a real modal box.
namespace dialogs {

enum class Icon { Information, Error };

struct SaveOptions {
    std::string filterName;       // "文本文件"
    std::string filterPattern;    // "*.txt"
    std::string defaultExtension; // "txt", added with a dot to a name without one
    std::string initialFolder;
    std::string fileName; // offered
};

// A test's stand-in for the real boxes; every text is GBK.
struct Script {
    std::function<void(const std::string& text, Icon icon)> message;
    std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>
        input;
    std::function<bool(const SaveOptions& options, std::string& chosen)> save;
};

// Installs a script (nullptr puts the real boxes back).
void SetScript(const Script* script);

// A message box with one OK button, captioned with the application title.
void ShowMessage(QWidget* parent, const std::string& text);

// The default error display: an error box with the message, "." appended when
// the message's last character sorts after ".".
void ShowError(QWidget* parent, const std::string& message);
std::string ErrorDisplayText(const std::string& message);

// An input box with OK and Cancel; false when cancelled.
bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength);

// A save-file dialog without an overwrite question; false when cancelled.
bool SaveFile(QWidget* parent, const SaveOptions& options, std::string& chosen);

} // namespace dialogs
