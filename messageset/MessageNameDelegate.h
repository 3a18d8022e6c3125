#pragma once

#include <QStyledItemDelegate>

// Edits message names in place in the message list. The name typed goes to the list's model,
// which judges it; an edit the user cancelled is reported, for the page to say that the name was
// not taken.
class MessageNameDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit MessageNameDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

signals:
    // An edit ended without its text going to the model (Escape).
    void EditCancelled() const;
};
