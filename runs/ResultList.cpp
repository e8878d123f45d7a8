#include "ResultList.h"

#include "Base.h"
#include "Texts.h"
#include "Ymcx.h"

#include <algorithm>

namespace {

unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

} // namespace

const std::string& TListRow::Column(int column) const {
    static const std::string kEmpty;
    if (column == 0) {
        return Caption;
    }
    if (column == TResultList::kWordsColumn) {
        return Words;
    }
    const auto index = static_cast<std::size_t>(column - 1);
    return column > 0 && index < SubItems.size() ? SubItems[index] : kEmpty;
}

bool TListRow::IsPending() const {
    return Column(1) == texts::StatusPending();
}

bool TListRow::IsUnanswered() const {
    return IsPending() || Column(1) == texts::StatusFailed();
}

std::vector<std::string> TResultList::Captions() const {
    std::vector<std::string> captions;
    captions.reserve(rows_.size());
    for (const auto& row : rows_) {
        captions.push_back(row.Caption);
    }
    return captions;
}

void TResultList::AddPendingRows(const std::vector<std::string>& captions) {
    if (captions.empty()) {
        return;
    }
    if (observer_) {
        observer_->RowsAboutToBeAppended(Count(), static_cast<int>(captions.size()));
    }
    rows_.reserve(rows_.size() + captions.size());
    for (const auto& caption : captions) {
        const words::TSpelling spelling = words::LookupCaption(caption);
        rows_.push_back(TListRow{
            caption, {texts::StatusPending()}, std::string(spelling.Words), spelling.Rank});
    }
    if (observer_) {
        observer_->RowsAppended();
    }
}

void TResultList::AddPending(const std::string& caption) {
    AddPendingRows({caption});
}

void TResultList::Clear() {
    if (observer_) {
        observer_->ListAboutToBeReset();
    }
    rows_.clear();
    if (observer_) {
        observer_->ListReset();
    }
}

int TResultList::FindCaption(std::string_view caption) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (SameText(rows_[i].Caption, caption)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TResultList::RecordAnswer(const TYmSeekRec& rec, bool unansweredFirst) {
    // The caption as handed out finds the row even when the name holds a dot.
    const std::string caption = rec.Caption.empty() ? rec.Name + ".com" : rec.Caption;
    int index = -1;
    if (unansweredFirst) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].IsUnanswered() && SameText(rows_[i].Caption, caption)) {
                index = static_cast<int>(i);
                break;
            }
        }
    }
    if (index < 0) {
        index = FindCaption(caption);
    }
    if (index < 0) {
        return false;
    }
    TListRow& row = rows_[static_cast<std::size_t>(index)];
    row.Caption = caption;
    if (rec.State == 1) {
        row.SubItems = {rec.Registered == 0 ? texts::StatusAvailable() : texts::StatusRegistered(),
                        rec.CreationDate, rec.ExpirationDate};
    } else {
        row.SubItems = {texts::StatusFailed(), std::string(), std::string()};
    }
    if (observer_) {
        observer_->RowChanged(index);
    }
    return true;
}

void TResultList::Sort(int column) {
    if (rows_.size() < 2) {
        return;
    }
    if (observer_) {
        observer_->ListAboutToBeReset();
    }
    if (column == kWordsColumn) {
        // No word has the highest rank of all, so those rows go last.
        std::stable_sort(rows_.begin(), rows_.end(), [](const TListRow& a, const TListRow& b) {
            return a.WordRank < b.WordRank;
        });
        if (observer_) {
            observer_->ListReset();
        }
        return;
    }
    const bool byAnswer = column != 0;
    std::stable_sort(
        rows_.begin(), rows_.end(), [column, byAnswer](const TListRow& a, const TListRow& b) {
            if (byAnswer) {
                const bool pa = a.IsPending();
                const bool pb = b.IsPending();
                if (pa || pb) {
                    return !pa && pb; // answered rows first; pending ones keep their order
                }
            }
            return CompareListText(a.Column(column), b.Column(column)) < 0;
        });
    if (observer_) {
        observer_->ListReset();
    }
}

void TResultList::RemoveRows(const std::vector<int>& rows) {
    std::vector<bool> gone(rows_.size(), false);
    bool any = false;
    for (const int row : rows) {
        if (row >= 0 && row < Count()) {
            gone[static_cast<std::size_t>(row)] = true;
            any = true;
        }
    }
    if (!any) {
        return;
    }
    if (observer_) {
        observer_->ListAboutToBeReset();
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!gone[i]) {
            if (kept != i) {
                rows_[kept] = std::move(rows_[i]);
            }
            ++kept;
        }
    }
    rows_.resize(kept);
    if (observer_) {
        observer_->ListReset();
    }
}

int CompareListText(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = Fold(a[i]);
        const unsigned char y = Fold(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

int CompareRows(const TListRow& a, const TListRow& b, int column) {
    if (column == TResultList::kWordsColumn) {
        return a.WordRank == b.WordRank ? 0 : (a.WordRank < b.WordRank ? -1 : 1);
    }
    if (column != 0 && (a.IsPending() || b.IsPending())) {
        return 0;
    }
    return CompareListText(a.Column(column), b.Column(column));
}
