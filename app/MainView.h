#pragma once

#include "Dialogs.h"
#include "Profiles.h"
#include "RunController.h"

#include <string>
#include <vector>

// What the main form needs of a window toolkit. The form (Main.h) holds every
// handler, the workers, the result list, the run and the profiles; a toolkit's
// window only draws the controls, reports their events to the form's handlers
// and implements this interface. Every call comes on the user-interface thread
// but RequestPump(), and every text is GBK.
//
// The list view follows TResultList through its own IResultListObserver, which
// the toolkit registers on the form's list; the run controller's part (status
// text, progress, log, message, pause) is inherited from IRunView.
class IMainView : public IRunView {
public:
    // The window's caption.
    virtual void SetCaption(const std::string& caption) = 0;

    // The syllable memo's text, lines ended by CR LF.
    virtual std::string MemoText() const = 0;
    // The filter inputs, read and set together.
    virtual TProfileValues FilterValues() const = 0;
    virtual void SetFilterValues(const TProfileValues& values) = 0;

    // The count label.
    virtual void SetCountLabel(const std::string& text) = 0;

    // The profile list: its items, and the one selected (-1: none).
    virtual void SetProfileNames(const std::vector<std::string>& names) = 0;
    virtual void SelectProfile(int index) = 0;

    // The default error display: an error box, the text as it is to be shown.
    virtual void ShowError(const std::string& text) = 0;
    // The save dialog (no overwrite question); false when cancelled.
    virtual bool AskSaveFileName(const dialogs::SaveOptions& options,
                                 platform::FilePath& chosen) = 0;
    // The input box with OK and Cancel; false when cancelled.
    virtual bool AskText(const std::string& caption, const std::string& prompt, std::string& value,
                         int maxLength) = 0;
    // Puts text on the system clipboard, as Unicode text; false when the
    // clipboard cannot be had (another program holds it).
    virtual bool SetClipboardText(const std::string& text) = 0;
    // A fresh About box, modal, destroyed when it closes.
    virtual void ShowAboutBox() = 0;

    // Closes the main window, which ends the program.
    virtual void CloseWindow() = 0;

    // From any thread: have the user-interface thread call the form's
    // PumpNotifications() soon, also while a modal box or dialog is open.
    virtual void RequestPump() = 0;
};
