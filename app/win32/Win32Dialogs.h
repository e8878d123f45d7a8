#pragma once

#include "Dialogs.h"

#include <windows.h>

#include <string>

// The Win32 window's modal boxes and dialogs. Each asks the installed test
// script first (dialogs::SetScript). All run their own modal loop, in which
// posted messages (the workers' notifications among them) still arrive.
namespace win32dialogs {

// A message box with one OK button, captioned with the application title; an
// error box shows the error icon.
void ShowBox(HWND owner, const std::string& text, dialogs::Icon icon);

// An input box with OK and Cancel, centred on the screen; false when cancelled.
bool InputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                std::string& value, int maxLength, int dpi);

// The system's save dialog without an overwrite question; false when cancelled.
// It opens in the initial folder when it can take it (see DialogFolder); the
// path it answers may be of any length. If the dialog itself fails, an error
// box says so and the answer is false.
bool SaveFile(HWND owner, const dialogs::SaveOptions& options, platform::FilePath& chosen);

// The form of folder that the save dialog can open in: the folder itself
// below MAX_PATH characters, else its short (8.3) form when that is below,
// else empty (the dialog then opens in its own default).
std::wstring DialogFolder(const std::wstring& folder);

// The font of every control: SimSun with 14-pixel characters.
HFONT ProgramFont(int dpi);

// A dialog template without controls, for boxes that place their own controls
// in WM_INITDIALOG; the words stay valid while the object lives.
class EmptyDialogTemplate {
public:
    explicit EmptyDialogTemplate(DWORD style);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_); }

private:
    alignas(DWORD) WORD words_[16] = {};
};

// Gives a dialog a client area of width x height and centres it on the screen
// (the monitor's working area) of owner.
void SizeAndCentre(HWND dialog, HWND owner, int width, int height);

} // namespace win32dialogs
