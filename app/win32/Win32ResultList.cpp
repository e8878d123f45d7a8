// The result list as a virtual list view: it asks for each cell it shows, and
// for the row a typed letter leads to. Several rows can be selected; Ctrl+A,
// Ctrl+C, Delete and the context menu act on them.
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

namespace {

constexpr int kFirstListCommand = 3000;

// Whether caption begins with prefix, ignoring the case of letters.
bool StartsWith(const std::wstring& caption, const wchar_t* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != L'\0'; ++i) {
        if (i >= caption.size() || std::towlower(caption[i]) != std::towlower(prefix[i])) {
            return false;
        }
    }
    return i > 0;
}

} // namespace

LRESULT TWin32MainWindow::OnListNotify(NMHDR* header) {
    const TResultList& list = form_->ResultList();
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.iItem >= 0 &&
            info->item.iItem < list.Count() && info->item.cchTextMax > 0) {
            cellText_ = win32text::W(list.Row(info->item.iItem).Column(info->item.iSubItem));
            const auto n = std::min<std::size_t>(
                cellText_.size(), static_cast<std::size_t>(info->item.cchTextMax) - 1);
            cellText_.copy(info->item.pszText, n);
            info->item.pszText[n] = L'\0';
        }
        return 0;
    }
    case LVN_ODFINDITEMW: {
        // Typing in the list: the next row, from the one the list names and
        // round the end, whose caption begins with the typed text; -1 when none.
        const auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
        const int count = list.Count();
        if ((find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find->lvfi.psz == nullptr ||
            count == 0) {
            return -1;
        }
        const int start = std::clamp(find->iStart, 0, count);
        for (int k = 0; k < count; ++k) {
            const int row = (start + k) % count;
            if (row < start && (find->lvfi.flags & LVFI_WRAP) == 0) {
                break;
            }
            if (StartsWith(win32text::W(list.Row(row).Caption), find->lvfi.psz)) {
                return row;
            }
        }
        return -1;
    }
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
        const bool control = ::GetKeyState(VK_CONTROL) < 0;
        if (control && key == 'A') {
            // Item -1: every row.
            ListView_SetItemState(header->hwndFrom, -1, LVIS_SELECTED, LVIS_SELECTED);
        } else if (control && (key == 'C' || key == VK_INSERT)) {
            RunListCommand(layout::ListCommand::Copy);
        } else if (!control && key == VK_DELETE) {
            RunListCommand(layout::ListCommand::Delete);
        }
        return 0;
    }
    case LVN_COLUMNCLICK:
        form_->RzListViewColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    default:
        return 0;
    }
}

std::vector<int> TWin32MainWindow::SelectedRows() const {
    HWND list = Control("RzListView");
    std::vector<int> rows;
    for (int row = -1;;) {
        row = static_cast<int>(
            ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
        if (row < 0) {
            return rows;
        }
        rows.push_back(row);
    }
}

void TWin32MainWindow::RunListCommand(layout::ListCommand command) {
    form_->RzListViewCommand(command, SelectedRows());
}

void TWin32MainWindow::ShowListMenu(POINT at) {
    HWND list = Control("RzListView");
    if (at.x == -1 && at.y == -1) {
        // From the keyboard (Shift+F10, the menu key): below the focused row,
        // else at the list's corner.
        const int focused = static_cast<int>(
            ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        RECT row{};
        at = POINT{S(8), S(8)};
        if (focused >= 0 && ListView_GetItemRect(list, focused, &row, LVIR_BOUNDS)) {
            at = POINT{row.left + S(8), row.bottom};
        }
        ::ClientToScreen(list, &at);
    } else {
        // A right click on a row outside the selection selects that row
        // alone, as every list does; on the selection it keeps the selection.
        LVHITTESTINFO hit{};
        hit.pt = at;
        ::ScreenToClient(list, &hit.pt);
        const int row = ListView_SubItemHitTest(list, &hit);
        if (row >= 0 && (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    const bool any = ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) {
        return;
    }
    int id = kFirstListCommand;
    for (const layout::ListMenuItem& item : layout::kListMenu) {
        std::wstring caption = win32text::U(item.caption);
        if (*item.shortcut != '\0') {
            caption += L"\t" + win32text::U(item.shortcut);
        }
        ::AppendMenuW(menu, MF_STRING | (any ? 0u : MF_GRAYED), static_cast<UINT_PTR>(id++),
                      caption.c_str());
    }
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                         at.y, 0, window_, nullptr));
    ::DestroyMenu(menu);
    const int index = chosen - kFirstListCommand;
    if (index >= 0 && index < static_cast<int>(std::size(layout::kListMenu))) {
        RunListCommand(layout::kListMenu[index].command);
    }
}

void TWin32MainWindow::RowsAboutToBeAppended(int, int) {}

void TWin32MainWindow::RowsAppended() {
    ::SendMessageW(Control("RzListView"), LVM_SETITEMCOUNT,
                   static_cast<WPARAM>(form_->ResultList().Count()),
                   LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    FitLastColumn();
}

void TWin32MainWindow::ListAboutToBeReset() {}

void TWin32MainWindow::ListReset() {
    HWND list = Control("RzListView");
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(form_->ResultList().Count()), 0);
    ::InvalidateRect(list, nullptr, TRUE);
    FitLastColumn();
}

void TWin32MainWindow::RowChanged(int row) {
    ::SendMessageW(Control("RzListView"), LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}
