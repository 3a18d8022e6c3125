#include "messageset/MessageNameDelegate.h"

using namespace Qt::StringLiterals;

MessageNameDelegate::MessageNameDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    connect(this, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::RevertModelCache) {
                    emit EditCancelled();
                }
            });
}

QWidget* MessageNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setObjectName(u"messageNameEditor"_s);
    editor->setAccessibleName(u"Message name"_s);
    return editor;
}
