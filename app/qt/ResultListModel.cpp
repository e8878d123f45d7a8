#include "ResultListModel.h"

#include "Layout.h"

#include "QtText.h"

TResultListModel::TResultListModel(TResultList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    list_.SetObserver(this);
}

TResultListModel::~TResultListModel() {
    list_.SetObserver(nullptr);
}

int TResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.Count();
}

int TResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TResultList::kColumnCount;
}

QVariant TResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return Q(list_.Row(index.row()).Column(index.column()));
    }
    // A name's words can be more than the column shows.
    if (role == Qt::ToolTipRole && index.column() == TResultList::kWordsColumn) {
        const std::string& words = list_.Row(index.row()).Words;
        return words.empty() ? QVariant() : QVariant(Q(words));
    }
    return {};
}

QVariant TResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    if (section < 0 || section >= TResultList::kColumnCount) {
        return {};
    }
    return U(layout::kColumns[section].title);
}

void TResultListModel::RowsAboutToBeAppended(int first, int count) {
    beginInsertRows({}, first, first + count - 1);
}

void TResultListModel::RowsAppended() {
    endInsertRows();
}

void TResultListModel::ListAboutToBeReset() {
    beginResetModel();
}

void TResultListModel::ListReset() {
    endResetModel();
}

void TResultListModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, TResultList::kColumnCount - 1));
}
