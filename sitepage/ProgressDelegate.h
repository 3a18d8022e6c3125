#pragma once

#include <QStyledItemDelegate>

// Draws the state column of the controllers' table as a progress bar with the state as its text,
// while the row has a bar (ControllerTableModel::kProgressRole of 0 to 100).
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
