#include "SpinEdit.h"

#include "Layout.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

struct SpinState {
    HWND upDown;
    int carried = 0; // wheel units short of a notch
};

void Step(HWND upDown, int delta) {
    if (delta == 0) {
        return;
    }
    const int value = static_cast<int>(::SendMessageW(upDown, UDM_GETPOS32, 0, 0)) + delta;
    ::SendMessageW(upDown, UDM_SETPOS32, 0,
                   std::clamp(value, layout::kSpinMinimum, layout::kSpinMaximum));
}

LRESULT CALLBACK SpinEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
    auto* state = reinterpret_cast<SpinState*>(data);
    switch (message) {
    case WM_CHAR:
        if (wParam != VK_TAB && wParam != VK_RETURN && wParam != VK_ESCAPE) {
            ::MessageBeep(MB_OK);
        }
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_PRIOR:
            Step(state->upDown, 10);
            return 0;
        case VK_NEXT:
            Step(state->upDown, -10);
            return 0;
        case VK_DELETE:
            ::MessageBeep(MB_OK);
            return 0;
        default:
            break;
        }
        break;
    case WM_MOUSEWHEEL:
        Step(state->upDown, WheelSteps(state->carried, GET_WHEEL_DELTA_WPARAM(wParam),
                                       (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0));
        return 0;
    case WM_KILLFOCUS:
        state->carried = 0; // a part notch does not wait for the next visit
        break;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_IME_STARTCOMPOSITION:
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(edit, SpinEditProc, 1);
        delete state;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

int WheelSteps(int& carried, int delta, bool ctrl) {
    // A turn back drops what was carried the other way.
    if ((carried > 0 && delta < 0) || (carried < 0 && delta > 0)) {
        carried = 0;
    }
    carried += delta;
    const int notches = carried / WHEEL_DELTA;
    carried -= notches * WHEEL_DELTA;
    return notches * (ctrl ? 10 : 1);
}

void MakeSpinEdit(HWND edit, HWND upDown) {
    ::SetWindowSubclass(edit, SpinEditProc, 1, reinterpret_cast<DWORD_PTR>(new SpinState{upDown}));
}
