#include "sitepage/RecordDetailModel.h"

using namespace Qt::StringLiterals;

RecordDetailModel::RecordDetailModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordDetailModel::SetRecords(const QString& commit,
                                   const QList<site_record::Record>& records) {
    beginResetModel();
    commit_ = commit;
    records_ = records;
    endResetModel();
}

bool RecordDetailModel::CanRestore(int row) const {
    if (row < 0 || row >= records_.size()) {
        return false;
    }
    const site_record::Record& record = records_.at(row);
    return record.action == u"push"_s && !record.file.isEmpty() &&
           record.result.startsWith(u"failed"_s);
}

int RecordDetailModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int RecordDetailModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordDetailModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const site_record::Record& record = records_.at(index.row());
    switch (index.column()) {
        case kController:
            return record.controller;
        case kAction:
            return record.action;
        case kFile:
            return record.file;
        case kDigest:
            return role == Qt::ToolTipRole ? record.digest : record.digest.left(12);
        case kResult:
            return record.result;
        default:
            return {};
    }
}

QVariant RecordDetailModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QStringList titles = {u"Controller"_s, u"Action"_s, u"File"_s, u"SHA-256"_s,
                                       u"Result"_s};
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}
