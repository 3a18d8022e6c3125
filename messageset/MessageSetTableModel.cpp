#include "messageset/MessageSetTableModel.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <array>

#include "audio/LoudnessTexts.h"
#include "messageset/MessageSetPageTexts.h"
#include "setfile/FormatKilobytes.h"
#include "setfile/MessageNameRule.h"

using namespace Qt::StringLiterals;

namespace {
constexpr Qt::Alignment kSizeAlignment = Qt::AlignRight | Qt::AlignVCenter;
// Marked messages: dark red for louder than the median, dark blue for quieter; both read on the
// light list background, and the bold text marks them without colour.
const QColor kLouderColour(0xA0, 0x10, 0x10);
const QColor kQuieterColour(0x10, 0x40, 0xA0);

bool IsNumberColumn(int column) {
    return column == MessageSetTableModel::kSizeColumn ||
           column == MessageSetTableModel::kLoudnessColumn;
}
}  // namespace

MessageSetTableModel::MessageSetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void MessageSetTableModel::Append(const MessageEntry& entry) {
    const int row = static_cast<int>(set_.entries.size());
    beginInsertRows({}, row, row);
    set_.entries.append(entry);
    endInsertRows();
    UpdateSpread();
}

void MessageSetTableModel::Remove(int row) {
    beginRemoveRows({}, row, row);
    set_.entries.removeAt(row);
    endRemoveRows();
    UpdateSpread();
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
    UpdateSpread();
}

void MessageSetTableModel::SetEntryFile(int row, const QString& path, quint32 size) {
    MessageEntry& entry = set_.entries[row];
    entry.path = path;
    entry.size = size;
    set_.changed = true;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
    UpdateSpread();
}

LoudnessKey MessageSetTableModel::KeyOf(int row) const {
    return {set_.entries.at(row).path, entriesInSetFile_ ? row : -1};
}

void MessageSetTableModel::SetLoudness(
    const QList<std::pair<LoudnessKey, LoudnessResult>>& results) {
    if (results.isEmpty()) {
        return;
    }
    for (const auto& [key, result] : results) {
        loudness_.insert(key, result);
    }
    const LoudnessSpread before = spread_;
    UpdateSpread();
    if (before.measured != spread_.measured || before.median != spread_.median) {
        return;  // the whole column was announced: every mark may have changed
    }
    for (int row = 0; row < rowCount(); ++row) {
        for (const auto& result : results) {
            if (result.first == KeyOf(row)) {
                emit dataChanged(index(row, kLoudnessColumn), index(row, kLoudnessColumn));
                break;
            }
        }
    }
}

void MessageSetTableModel::ClearLoudness() {
    loudness_.clear();
    UpdateSpread();
    if (rowCount() > 0) {
        emit dataChanged(index(0, kLoudnessColumn), index(rowCount() - 1, kLoudnessColumn));
    }
}

const LoudnessResult* MessageSetTableModel::LoudnessOf(int row) const {
    const auto found = loudness_.constFind(KeyOf(row));
    return found == loudness_.cend() ? nullptr : &*found;
}

void MessageSetTableModel::UpdateSpread() {
    std::vector<double> values;
    for (int row = 0; row < rowCount(); ++row) {
        const LoudnessResult* result = LoudnessOf(row);
        if (result != nullptr && result->measured && result->measured->integrated) {
            values.push_back(*result->measured->integrated);
        }
    }
    const LoudnessSpread spread = LoudnessSpread::Of(std::move(values));
    const bool changed = spread.measured != spread_.measured || spread.median != spread_.median;
    spread_ = spread;
    if (changed && rowCount() > 0) {
        emit dataChanged(index(0, kLoudnessColumn), index(rowCount() - 1, kLoudnessColumn));
    }
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
    if (role == Qt::TextAlignmentRole && IsNumberColumn(index.column())) {
        return QVariant::fromValue(kSizeAlignment);
    }
    if (index.column() == kLoudnessColumn) {
        return LoudnessData(index.row(), role);
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
    if (role == Qt::TextAlignmentRole && IsNumberColumn(section)) {
        return QVariant::fromValue(kSizeAlignment);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const std::array<QString, kColumnCount> titles{u"Name"_s, u"Size"_s, u"Loudness"_s,
                                                          u"Path"_s};
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

QVariant MessageSetTableModel::LoudnessData(int row, int role) const {
    const LoudnessResult* result = LoudnessOf(row);
    const LoudnessMeasurement* measured =
        result != nullptr && result->measured ? &*result->measured : nullptr;
    std::optional<double> difference;
    if (measured != nullptr && measured->integrated && !spread_.IsEmpty()) {
        difference = *measured->integrated - spread_.median;
    }
    const bool marked =
        measured != nullptr && measured->integrated && spread_.StandsOut(*measured->integrated);
    switch (role) {
        case Qt::DisplayRole:
            if (result == nullptr) {
                return message_set_texts::LoudnessPending();
            }
            return measured != nullptr ? loudness_texts::Integrated(*measured)
                                       : message_set_texts::LoudnessUnreadable();
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            if (result == nullptr) {
                return message_set_texts::LoudnessBeingMeasured();
            }
            if (measured == nullptr) {
                return message_set_texts::LoudnessNotMeasured(result->error);
            }
            const QString fromMedian =
                difference ? message_set_texts::FromMedian(
                                 *difference, loudness_texts::Lufs(spread_.median), marked)
                           : QString();
            if (role == Qt::AccessibleDescriptionRole) {
                return fromMedian.isEmpty() ? loudness_texts::Integrated(*measured) : fromMedian;
            }
            const QString description = loudness_texts::Describe(*measured);
            return fromMedian.isEmpty() ? description : description + u'\n' + fromMedian;
        }
        case Qt::ForegroundRole:
            if (marked) {
                return *difference > 0 ? kLouderColour : kQuieterColour;
            }
            return {};
        case Qt::FontRole:
            if (marked) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}
