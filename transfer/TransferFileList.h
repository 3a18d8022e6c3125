#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidget>
#include <functional>

#include "transfer/TransferListing.h"

// One side of the file transfer page: a one-column list of names, single selection, each name
// with an icon and, for names wider than the list, a tooltip.
class TransferFileList : public QTreeWidget {
    Q_OBJECT

public:
    using IconFor = std::function<QIcon(const QString& name, bool isDirectory)>;

    TransferFileList(const QString& objectName, const QString& accessibleName, QWidget* parent);

    // Replaces the items with the entries, each with the icon iconFor gives it.
    void Fill(const QList<TransferListing::Entry>& entries, const IconFor& iconFor);
    // The name of the first selected item; null when nothing is selected.
    QString SelectedName() const;
};
