#pragma once

#include "Dialogs.h"

#include <string>

class QWidget;

// The Qt window's modal boxes and dialogs. Each asks the installed test script
// first (dialogs::SetScript).
namespace qtdialogs {

// A message box with one OK button, captioned with the application title;
// an error box shows the error icon.
void ShowBox(QWidget* parent, const std::string& text, dialogs::Icon icon);

// An input box with OK and Cancel; false when cancelled.
bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength);

// A save-file dialog without an overwrite question; false when cancelled.
bool SaveFile(QWidget* parent, const dialogs::SaveOptions& options, platform::FilePath& chosen);

} // namespace qtdialogs
