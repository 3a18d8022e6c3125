#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QList>

#include "site/ControllerOutcome.h"
#include "site/SiteFile.h"
#include "sitepage/ControllerActivity.h"

// The installation's controllers as the Site page lists them: name, address, user, the last
// backup and the last action with its result (from the record, then from the runs of this
// window), and while a run goes on each row's state and progress. The rows are the site file's
// controllers in its order.
class ControllerTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName, kAddress, kUser, kLastBackup, kLastAction, kResult, kState, kColumns };
    // The state column's progress in percent (0 to 100); -1 when no bar is shown.
    static constexpr int kProgressRole = Qt::UserRole + 1;

    explicit ControllerTableModel(QObject* parent = nullptr);

    // Shows the controllers with what the record says of them (by lower-case name); one that was
    // listed before keeps its state and bar.
    void SetControllers(const QList<SiteFile::Controller>& controllers,
                        const QHash<QString, ControllerActivity>& activity);
    const SiteFile::Controller& ControllerAt(int row) const { return rows_.at(row).controller; }
    int RowOf(const QString& name) const;

    // A run starts on the controllers named: they show "waiting" and an empty bar, the others
    // nothing.
    void BeginRun(const QStringList& names);
    void SetState(const QString& name, const QString& state);
    void SetProgress(const QString& name, qint64 done, qint64 total);
    // The run's rows, with the action they are recorded as ("backup", "push", "restore"); a dry
    // run is shown in the state column only.
    void FinishRun(const QString& action, const QList<ControllerOutcome>& outcomes, bool recorded);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        SiteFile::Controller controller;
        ControllerActivity activity;
        QString state;
        int progress = -1;
        QString stateDetail;  // the run's message, for the tool tip
    };
    void ChangedRow(int row, int first, int last);

    QList<Row> rows_;
};
