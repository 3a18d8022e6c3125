#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "site/History.h"
#include "site/SiteRecord.h"

// The record of the installation: one row per history commit, newest first, with its date,
// engineer and summary (the first line of its message).
class RecordModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kDate, kEngineer, kSummary, kColumns };

    explicit RecordModel(QObject* parent = nullptr);

    void SetCommits(const QList<History::Commit>& commits);
    const History::Commit& CommitAt(int row) const { return commits_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<History::Commit> commits_;
};
