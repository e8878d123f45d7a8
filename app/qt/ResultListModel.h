#pragma once

#include "ResultList.h"

#include <QAbstractTableModel>

// Shows the result list in the window's list view and follows its changes.
class TResultListModel final : public QAbstractTableModel, public IResultListObserver {
public:
    explicit TResultListModel(TResultList& list, QObject* parent = nullptr);
    ~TResultListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void RowsAboutToBeAppended(int first, int count) override;
    void RowsAppended() override;
    void ListAboutToBeReset() override;
    void ListReset() override;
    void RowChanged(int row) override;

private:
    TResultList& list_;
};
