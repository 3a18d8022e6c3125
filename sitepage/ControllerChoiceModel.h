#pragma once

#include <QAbstractListModel>
#include <QList>

#include "site/SiteFile.h"

// The controllers a push goes to, each with a check box; all checked at first.
class ControllerChoiceModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit ControllerChoiceModel(const QList<SiteFile::Controller>& controllers,
                                   QObject* parent = nullptr);

    // The checked controllers' names, in order.
    QStringList Checked() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<SiteFile::Controller> controllers_;
    QList<bool> checked_;
};
