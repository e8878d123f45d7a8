// The result list as a virtual list view: it asks for each cell it shows, and
// for the row a typed letter leads to.
#include "Win32MainWindow.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

namespace {

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
    case LVN_COLUMNCLICK:
        form_->RzListViewColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    default:
        return 0;
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
