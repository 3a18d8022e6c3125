#pragma once

#include <QStyledItemDelegate>
#include <optional>

// Edits message names in place in the message list without writing them into the list itself:
// the end of every edit is reported with the new text, or with none when the user cancelled it,
// and the page decides whether the name is taken.
class MessageNameDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit MessageNameDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    // An edit of row's name ended: with the text typed, or with nothing when it was cancelled.
    void EditEnded(int row, const std::optional<QString>& text) const;

private:
    void OnCloseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
};
