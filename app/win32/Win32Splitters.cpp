// The two splitters: the vertical one between the left panel and the list,
// and the one between the filter group and the syllable group. A drag moves
// them within limits that keep the filter group's controls whole in sight.
#include "Dpi.h"
#include "Layout.h"
#include "Win32MainWindow.h"

#include <windowsx.h>

#include <algorithm>

namespace {

constexpr int kGroupTop = layout::kToolbarHeight + 2;
constexpr int kListMinimum = 60; // what the list keeps beside a wide panel
constexpr int kMemoMinimum = 60; // what the syllable group keeps below a tall filter group

} // namespace

int TWin32MainWindow::ShownLeftWidth(int clientWidth) const {
    const int least = S(layout::kLeftPanelWidth);
    return std::clamp(leftWidth_, least, std::max(least, clientWidth - S(kListMinimum)));
}

int TWin32MainWindow::ShownFilterHeight(int bodyHeight) const {
    const int least = S(layout::kFilterGroupHeight);
    return std::clamp(filterHeight_, least, std::max(least, bodyHeight - S(kMemoMinimum)));
}

int TWin32MainWindow::SplitterAt(POINT point) const {
    RECT client{};
    ::GetClientRect(window_, &client);
    const int top = S(layout::kToolbarHeight);
    if (point.y < top) {
        return 0;
    }
    const int left = ShownLeftWidth(client.right);
    const int bar = S(layout::kSplitterWidth);
    if (point.x >= left && point.x < left + bar) {
        return 1;
    }
    RECT status{};
    ::GetWindowRect(Control("RzStatusBar"), &status);
    const int body =
        std::max(0, static_cast<int>(client.bottom - (status.bottom - status.top)) - top);
    const int splitterY = S(kGroupTop) + ShownFilterHeight(body);
    if (point.x < left && point.y >= splitterY && point.y < splitterY + bar) {
        return 2;
    }
    return 0;
}

// The mouse on the splitters; true when the message was theirs.
bool TWin32MainWindow::OnSplitterMouse(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR: {
        POINT point{};
        ::GetCursorPos(&point);
        ::ScreenToClient(window_, &point);
        if (const int splitter = SplitterAt(point)) {
            ::SetCursor(::LoadCursorW(nullptr, splitter == 1 ? IDC_SIZEWE : IDC_SIZENS));
            return true;
        }
        return false;
    }
    case WM_LBUTTONDOWN:
        dragging_ = SplitterAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (dragging_ != 0) {
            ::SetCapture(window_);
        }
        return true;
    case WM_MOUSEMOVE:
        if (dragging_ != 0 && ::GetCapture() == window_) {
            RECT client{};
            ::GetClientRect(window_, &client);
            if (dragging_ == 1) {
                leftWidth_ = GET_X_LPARAM(lParam);
                leftWidth_ = ShownLeftWidth(client.right);
            } else {
                filterHeight_ = GET_Y_LPARAM(lParam) - S(kGroupTop);
                filterHeight_ = std::max(filterHeight_, S(layout::kFilterGroupHeight));
            }
            Arrange();
        }
        return true;
    case WM_LBUTTONUP:
        if (dragging_ != 0) {
            dragging_ = 0;
            ::ReleaseCapture();
        }
        return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // A box popped up, or the user went to another program: the drag ends
        // where it was.
        dragging_ = 0;
        return message == WM_CAPTURECHANGED;
    default:
        return false;
    }
}
