#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <functional>

#include "audio/LoudnessSpread.h"
#include "messageset/LoudnessResult.h"
#include "setfile/MessageSetModel.h"

// The message set as the page's message list shows it: one row per message with its name, its
// size in kilobytes, its loudness and its path. Holds the set itself, so the list has no copy of
// the entries to keep in step: every change of the entries goes through this model and is
// announced to views.
//
// Loudness values are given from outside (SetLoudness), by the key of the message they belong to
// (KeyOf: its wave file, or its place in the set file); a row without one shows "...". The model
// keeps the spread of the set's values: a message more than 3 LU from the median is marked in
// colour and bold, and its tool tip and accessible description say how far it lies and which way.
//
// A name typed into the list is judged by setData: taken when the set may be renamed (see
// SetRenamable) and the name keeps the name rule; a name that breaks the rule is refused and
// reported through NameRefused, for the caller to tell the user once the editor has closed.
class MessageSetTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        kNameColumn = 0,
        kSizeColumn = 1,
        kLoudnessColumn = 2,
        kPathColumn = 3,
        kColumnCount = 4
    };

    explicit MessageSetTableModel(QObject* parent = nullptr);

    const MessageSetModel& Set() const { return set_; }

    // Whether names typed into the list are judged at all; outside editing they are dropped
    // silently.
    void SetRenamable(bool renamable) { renamable_ = renamable; }

    void SetName(const QString& name) { set_.setName = name; }
    void SetFilePath(const QString& path) { set_.setFilePath = path; }
    void SetChanged(bool changed) { set_.changed = changed; }

    void Append(const MessageEntry& entry);
    void Remove(int row);
    void Clear();
    // Moves row to target (both valid rows).
    void Move(int row, int target);
    // Lets load change the whole set (an info file read into it) and shows the result.
    void Reload(const std::function<void(MessageSetModel&)>& load);
    // Points row's message at another wave file (a matched copy) of the given size.
    void SetEntryFile(int row, const QString& path, quint32 size);

    // Whether the entries are the messages of the set file they name, row i message i (a set
    // shown from its set file alone).
    void SetEntriesInSetFile(bool inSetFile) { entriesInSetFile_ = inSetFile; }
    LoudnessKey KeyOf(int row) const;
    // Shows each result in the rows of its key; the marks follow the new median.
    void SetLoudness(const QList<std::pair<LoudnessKey, LoudnessResult>>& results);
    // Forgets every result: each row shows "..." until it gets one again.
    void ClearLoudness();
    // The result shown in row; null when it has none yet.
    const LoudnessResult* LoudnessOf(int row) const;
    const LoudnessSpread& Spread() const { return spread_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames the message of index's row (name column, edit role) as described above.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A typed name broke the name rule and was not taken.
    void NameRefused();

private:
    QVariant LoudnessData(int row, int role) const;
    // Recomputes the spread; when it changed, every row's mark may have.
    void UpdateSpread();

    MessageSetModel set_;
    bool renamable_ = false;
    bool entriesInSetFile_ = false;
    QHash<LoudnessKey, LoudnessResult> loudness_;
    LoudnessSpread spread_;
};
