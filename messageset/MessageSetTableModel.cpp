#include "messageset/MessageSetTableModel.h"

#include <QDir>
#include <array>

#include "setfile/FormatKilobytes.h"
#include "setfile/MessageNameRule.h"

using namespace Qt::StringLiterals;

namespace {
constexpr Qt::Alignment kSizeAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

MessageSetTableModel::MessageSetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void MessageSetTableModel::Append(const MessageEntry& entry) {
    const int row = static_cast<int>(set_.entries.size());
    beginInsertRows({}, row, row);
    set_.entries.append(entry);
    endInsertRows();
}

void MessageSetTableModel::Remove(int row) {
    beginRemoveRows({}, row, row);
    set_.entries.removeAt(row);
    endRemoveRows();
}

void MessageSetTableModel::Clear() {
    Reload([](MessageSetModel& set) { set.entries.clear(); });
}

void MessageSetTableModel::Move(int row, int target) {
    if (row == target) {
        return;
    }
    // beginMoveRows names the row the moved one goes before, counted before the move.
    beginMoveRows({}, row, row, {}, target > row ? target + 1 : target);
    set_.entries.move(row, target);
    endMoveRows();
}

void MessageSetTableModel::Reload(const std::function<void(MessageSetModel&)>& load) {
    beginResetModel();
    load(set_);
    endResetModel();
}

int MessageSetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(set_.entries.size());
}

int MessageSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MessageSetTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const MessageEntry& entry = set_.entries.at(index.row());
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn) {
        return QVariant::fromValue(kSizeAlignment);
    }
    // The tool tip repeats the text in full for a column too narrow to show it.
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (index.column()) {
        case kNameColumn:
            return entry.name;
        case kSizeColumn:
            return FormatKilobytes(entry.size);
        default:
            return QDir::toNativeSeparators(entry.path);
    }
}

QVariant MessageSetTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) {
        return {};
    }
    if (role == Qt::TextAlignmentRole && section == kSizeColumn) {
        return QVariant::fromValue(kSizeAlignment);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const std::array<QString, kColumnCount> titles{u"Name"_s, u"Size"_s, u"Path"_s};
    return titles.at(static_cast<size_t>(section));
}

Qt::ItemFlags MessageSetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == kNameColumn) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool MessageSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != kNameColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        !renamable_) {
        return false;
    }
    const QString name = value.toString();
    if (!message_name_rule::IsAcceptableName(name)) {
        emit NameRefused();
        return false;
    }
    set_.entries[index.row()].name = name;
    set_.changed = true;
    emit dataChanged(index, index);
    return true;
}
