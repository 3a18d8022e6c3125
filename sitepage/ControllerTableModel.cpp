#include "sitepage/ControllerTableModel.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// "failed: the controller refused ..." is "failed" in the table, the whole text in its tool tip.
QString ResultWord(const QString& result) {
    return result.section(u':', 0, 0).section(u" ("_s, 0, 0);
}

}  // namespace

ControllerTableModel::ControllerTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ControllerTableModel::SetControllers(const QList<SiteFile::Controller>& controllers,
                                          const QHash<QString, ControllerActivity>& activity) {
    // A controller still listed keeps what the last run showed of it.
    QList<Row> rows;
    for (const SiteFile::Controller& controller : controllers) {
        Row row{controller, activity.value(controller.name.toLower()), {}, -1, {}};
        if (const int known = RowOf(controller.name); known >= 0) {
            row.state = rows_.at(known).state;
            row.progress = rows_.at(known).progress;
            row.stateDetail = rows_.at(known).stateDetail;
        }
        rows << row;
    }
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

int ControllerTableModel::RowOf(const QString& name) const {
    for (int row = 0; row < rows_.size(); ++row) {
        if (rows_.at(row).controller.name.compare(name, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return -1;
}

void ControllerTableModel::ChangedRow(int row, int first, int last) {
    Q_EMIT dataChanged(index(row, first), index(row, last));
}

void ControllerTableModel::BeginRun(const QStringList& names) {
    for (int row = 0; row < rows_.size(); ++row) {
        Row& entry = rows_[row];
        const bool runs = names.contains(entry.controller.name, Qt::CaseInsensitive);
        entry.state = runs ? u"waiting"_s : QString();
        entry.progress = runs ? 0 : -1;
        entry.stateDetail.clear();
    }
    if (!rows_.isEmpty()) {
        Q_EMIT dataChanged(index(0, kState), index(rowCount() - 1, kState));
    }
}

void ControllerTableModel::SetState(const QString& name, const QString& state) {
    const int row = RowOf(name);
    if (row >= 0) {
        rows_[row].state = state;
        ChangedRow(row, kState, kState);
    }
}

void ControllerTableModel::SetProgress(const QString& name, qint64 done, qint64 total) {
    const int row = RowOf(name);
    if (row < 0) {
        return;
    }
    const int percent =
        total > 0 ? static_cast<int>(std::clamp<qint64>(done * 100 / total, 0, 100)) : 0;
    if (rows_.at(row).progress != percent) {
        rows_[row].progress = percent;
        ChangedRow(row, kState, kState);
    }
}

void ControllerTableModel::FinishRun(const QString& action,
                                     const QList<ControllerOutcome>& outcomes, bool recorded) {
    for (const ControllerOutcome& outcome : outcomes) {
        const int row = RowOf(outcome.controller);
        if (row < 0) {
            continue;
        }
        Row& entry = rows_[row];
        const bool done = outcome.result == ControllerOutcome::Result::Done;
        entry.state = ResultName(outcome.result);
        entry.progress = done ? 100 : entry.progress;
        entry.stateDetail = outcome.message;
        if (recorded) {
            entry.activity.lastAction = action;
            entry.activity.lastResult =
                done ? u"done"_s : ResultName(outcome.result) + u": "_s + outcome.message;
            if (done && action == u"backup"_s) {
                entry.activity.lastBackup = QDateTime::currentDateTime();
            }
        }
        ChangedRow(row, kLastBackup, kState);
    }
}

int ControllerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ControllerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ControllerTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row& row = rows_.at(index.row());
    if (role == kProgressRole) {
        return index.column() == kState ? row.progress : -1;
    }
    if (role == Qt::ToolTipRole) {
        if (index.column() == kResult) {
            return row.activity.lastResult;
        }
        if (index.column() == kState) {
            return row.stateDetail.isEmpty() ? row.state : row.stateDetail;
        }
        return {};
    }
    if (role == Qt::AccessibleTextRole && index.column() == kState && row.progress >= 0) {
        // What the bar shows, for a screen reader.
        return u"%1, %2 %"_s.arg(row.state).arg(row.progress);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (index.column()) {
        case kName:
            return row.controller.name;
        case kAddress:
            return row.controller.port == 21
                       ? row.controller.address
                       : u"%1:%2"_s.arg(row.controller.address).arg(row.controller.port);
        case kUser:
            return row.controller.user;
        case kLastBackup:
            return row.activity.lastBackup.isValid()
                       ? QLocale().toString(row.activity.lastBackup, QLocale::ShortFormat)
                       : QString();
        case kLastAction:
            return row.activity.lastAction;
        case kResult:
            return ResultWord(row.activity.lastResult);
        case kState:
            return row.state;
        default:
            return {};
    }
}

QVariant ControllerTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QStringList titles = {u"Name"_s,        u"Address"_s, u"User"_s, u"Last backup"_s,
                                       u"Last action"_s, u"Result"_s,  u"State"_s};
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}
