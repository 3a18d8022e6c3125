#include "messageset/MessageNameDelegate.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {
constexpr char kRowProperty[] = "messageRow";
}

MessageNameDelegate::MessageNameDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    connect(this, &QAbstractItemDelegate::closeEditor, this, &MessageNameDelegate::OnCloseEditor);
}

QWidget* MessageNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setObjectName(u"messageNameEditor"_s);
    editor->setAccessibleName(u"Message name"_s);
    editor->setProperty(kRowProperty, index.row());
    return editor;
}

void MessageNameDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                       const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    emit EditEnded(index.row(), line != nullptr ? line->text() : QString());
}

void MessageNameDelegate::OnCloseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (hint == QAbstractItemDelegate::RevertModelCache && editor != nullptr) {
        emit EditEnded(editor->property(kRowProperty).toInt(), std::nullopt);
    }
}
