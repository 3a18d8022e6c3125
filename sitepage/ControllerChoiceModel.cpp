#include "sitepage/ControllerChoiceModel.h"

using namespace Qt::StringLiterals;

ControllerChoiceModel::ControllerChoiceModel(const QList<SiteFile::Controller>& controllers,
                                             QObject* parent)
    : QAbstractListModel(parent), controllers_(controllers), checked_(controllers.size(), true) {}

QStringList ControllerChoiceModel::Checked() const {
    QStringList names;
    for (qsizetype row = 0; row < controllers_.size(); ++row) {
        if (checked_.at(row)) {
            names << controllers_.at(row).name;
        }
    }
    return names;
}

int ControllerChoiceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(controllers_.size());
}

QVariant ControllerChoiceModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const SiteFile::Controller& controller = controllers_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return u"%1 (%2)"_s.arg(controller.name, controller.address);
        case Qt::CheckStateRole:
            return checked_.at(index.row()) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool ControllerChoiceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::CheckStateRole) {
        return false;
    }
    checked_[index.row()] = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ControllerChoiceModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}
