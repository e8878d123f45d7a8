#pragma once

#include "Words.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TYmSeekRec;

// A row of the result list: the caption (name + ".com"), the sub-items of the
// columns after it (status, registration date, expiry date) and the Chinese
// words the name spells, which the row has from the start.
struct TListRow {
    std::string Caption;
    std::vector<std::string> SubItems;
    std::string Words;                       // GBK, joined by "、"
    std::uint32_t WordRank = words::kNoWord; // the first word's commonness

    // The text of column 0 to 4; "" where the row has no such sub-item.
    const std::string& Column(int column) const;
    bool IsPending() const;
    // Pending or failed ("*" or "!"): what 重查 asks again.
    bool IsUnanswered() const;
};

// Told of every change before or after it happens, so a view can follow.
class IResultListObserver {
public:
    virtual ~IResultListObserver() = default;
    virtual void RowsAboutToBeAppended(int first, int count) = 0;
    virtual void RowsAppended() = 0;
    virtual void ListAboutToBeReset() = 0; // emptied or reordered
    virtual void ListReset() = 0;
    virtual void RowChanged(int row) = 0;
};

// The result list: the names waiting to be asked about, and their answers.
class TResultList {
public:
    static constexpr int kColumnCount = 5;
    static constexpr int kWordsColumn = 4;

    int Count() const { return static_cast<int>(rows_.size()); }
    const TListRow& Row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    std::vector<std::string> Captions() const;

    // Appends pending rows (status "*") at the bottom, in the order given.
    void AddPendingRows(const std::vector<std::string>& captions);
    void AddPending(const std::string& caption);
    void Clear();

    // The first row, from the top, whose caption equals caption ignoring the
    // case of letters; -1 when there is none.
    int FindCaption(std::string_view caption) const;

    // Fills the row of rec.Name + ".com" with the answer; false when no row has
    // that caption (the list is then unchanged). Rows never move. With
    // unansweredFirst, of several rows with that caption the first without a
    // result takes the answer, so that asking again never changes a row that
    // has one.
    bool RecordAnswer(const TYmSeekRec& rec, bool unansweredFirst = false);

    // Removes the rows given (any order, repeats allowed).
    void RemoveRows(const std::vector<int>& rows);

    // Sorts ascending by column, stably. By the status or a date column, rows
    // still pending go after the answered ones, in the order they had. By the
    // words, the names whose first word is most common come first, and those
    // without a word last, in the order they had.
    void Sort(int column);

    void SetObserver(IResultListObserver* observer) { observer_ = observer; }

private:
    std::vector<TListRow> rows_;
    IResultListObserver* observer_ = nullptr;
};

// Byte by byte with a-z taken as A-Z, the shorter first when one text begins
// the other: negative, 0 or positive.
int CompareListText(std::string_view a, std::string_view b);

// The comparison of two rows by column; 0 for a pair that holds a pending row
// when sorting by the status or a date column (no ordering from the texts),
// and for two rows without words by the words column.
int CompareRows(const TListRow& a, const TListRow& b, int column);
