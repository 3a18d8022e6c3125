#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "site/SiteRecord.h"

// The record lines of one commit: its controllers, files, digests and results.
class RecordDetailModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kController, kAction, kFile, kDigest, kResult, kColumns };

    explicit RecordDetailModel(QObject* parent = nullptr);

    // commit: the full id the lines belong to; empty with no lines clears the table.
    void SetRecords(const QString& commit, const QList<site_record::Record>& records);
    const QString& Commit() const { return commit_; }
    const site_record::Record& RecordAt(int row) const { return records_.at(row); }
    // A file a push failed to put on a controller: the one thing that can be restored from here.
    bool CanRestore(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString commit_;
    QList<site_record::Record> records_;
};
