#include "sitepage/RecordModel.h"

#include <QLocale>

using namespace Qt::StringLiterals;

RecordModel::RecordModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordModel::SetCommits(const QList<History::Commit>& commits) {
    beginResetModel();
    commits_ = commits;
    endResetModel();
}

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(commits_.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const History::Commit& commit = commits_.at(index.row());
    switch (index.column()) {
        case kDate:
            return QLocale().toString(commit.when, QLocale::ShortFormat);
        case kEngineer:
            return commit.author;
        case kSummary:
            return role == Qt::ToolTipRole ? commit.message.trimmed()
                                           : commit.message.section(u'\n', 0, 0);
        default:
            return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QStringList titles = {u"Date"_s, u"Engineer"_s, u"Summary"_s};
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}
