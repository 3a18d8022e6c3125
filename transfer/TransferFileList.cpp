#include "transfer/TransferFileList.h"

#include <QHeaderView>

using namespace Qt::StringLiterals;

TransferFileList::TransferFileList(const QString& objectName, const QString& accessibleName,
                                   QWidget* parent)
    : QTreeWidget(parent) {
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    setColumnCount(1);
    setHeaderLabels({u"File Name"_s});
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(true);  // the one column takes the list's width
    header()->setDefaultAlignment(Qt::AlignLeft);
    setRootIsDecorated(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
}

void TransferFileList::Fill(const QList<TransferListing::Entry>& entries, const IconFor& iconFor) {
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(entries.size());
    for (const TransferListing::Entry& entry : entries) {
        auto* item = new QTreeWidgetItem(QStringList{entry.name});
        item->setIcon(0, iconFor(entry.name, entry.isDirectory));
        item->setToolTip(0, entry.name);
        items.append(item);
    }
    addTopLevelItems(items);
}

QString TransferFileList::SelectedName() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text(0);
}
