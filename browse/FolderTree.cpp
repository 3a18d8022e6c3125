#include "browse/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "base/DriveRoots.h"
#include "browse/FolderListing.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kKindRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

bool IsContainer(FolderTree::ItemKind kind) {
    return kind == FolderTree::ItemKind::Drives || kind == FolderTree::ItemKind::Drive ||
           kind == FolderTree::ItemKind::Desktop || kind == FolderTree::ItemKind::Folder;
}

// The user's desktop folder, or the home folder when there is none on disk.
QString DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir()) {
        return QDir::cleanPath(desktop);
    }
    return QDir::cleanPath(QDir::homePath());
}
}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(u"folderTree"_s);
    setAccessibleName(u"Folders and files"_s);
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setAnimated(false);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::OnItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &FolderTree::OnItemCollapsed);
    Initialize(true);
}

FolderTree::~FolderTree() = default;

void FolderTree::Initialize(bool clearAll) {
    if (clearAll) {
        clear();
        drivesItem_ = nullptr;
        desktopItem_ = nullptr;
    }
    desktopPath_ = DesktopFolder();

    drivesItem_ = MakeItem(ItemKind::Drives, u"Drives"_s, QString(),
                           iconProvider_.icon(QAbstractFileIconProvider::Computer));
    drivesItem_->addChild(MakePlaceholder());
    addTopLevelItem(drivesItem_);

    QString desktopLabel = QFileInfo(desktopPath_).fileName();
    if (desktopLabel.isEmpty()) {
        desktopLabel = desktopPath_;
    }
    desktopItem_ = MakeItem(ItemKind::Desktop, desktopLabel, desktopPath_,
                            iconProvider_.icon(QAbstractFileIconProvider::Desktop));
    desktopItem_->addChild(MakePlaceholder());
    addTopLevelItem(desktopItem_);
}

FolderTree::ItemKind FolderTree::KindOf(const QTreeWidgetItem* item) {
    if (item == nullptr) {
        return ItemKind::None;
    }
    return static_cast<ItemKind>(item->data(0, kKindRole).toInt());
}

QString FolderTree::RealName(const QTreeWidgetItem* item) {
    return item == nullptr ? QString() : item->data(0, kNameRole).toString();
}

QString FolderTree::PathOfItem(const QTreeWidgetItem* item) const {
    switch (KindOf(item)) {
        case ItemKind::Drive:
            return RealName(item);
        case ItemKind::Desktop:
            return desktopPath_.endsWith(u'/') ? desktopPath_ : desktopPath_ + u'/';
        case ItemKind::Folder: {
            const QString parentPath = PathOfItem(item->parent());
            return parentPath.isEmpty() ? QString() : parentPath + RealName(item) + u'/';
        }
        case ItemKind::File: {
            const QString parentPath = PathOfItem(item->parent());
            return parentPath.isEmpty() ? QString() : parentPath + RealName(item);
        }
        case ItemKind::None:
        case ItemKind::Drives:
        case ItemKind::Placeholder:
            break;
    }
    return QString();
}

bool FolderTree::IncludeFile(const QString& name) const {
    return FolderListing::IncludeFile(name, fileFilter);
}

void FolderTree::RefreshItem(QTreeWidgetItem* item) {
    if (!IsContainer(KindOf(item))) {
        return;
    }
    QTreeWidgetItem* current = currentItem();
    const bool currentWasChild = current != nullptr && current->parent() == item;
    const QString currentName = currentWasChild ? RealName(current) : QString();
    const ItemKind currentKind = currentWasChild ? KindOf(current) : ItemKind::None;
    const QString currentPath = PathOfItem(current);
    {
        // Listing the children again deletes the current item when it is one of them; the tree
        // reports a change of the current item only when it ends up on another path.
        const QSignalBlocker blocker(this);
        ClearChildren(item, false);
        PopulateItem(item);
        if (currentWasChild) {
            for (int i = 0; i < item->childCount(); ++i) {
                QTreeWidgetItem* child = item->child(i);
                if (KindOf(child) == currentKind && RealName(child) == currentName) {
                    setCurrentItem(child);
                    break;
                }
            }
        }
    }
    if (currentWasChild && PathOfItem(currentItem()) != currentPath) {
        emit currentItemChanged(currentItem(), nullptr);
    }
}

bool FolderTree::SelectPath(const QString& path) {
    drivesItem_->setExpanded(true);
    QTreeWidgetItem* current = drivesItem_;
    if (!path.isEmpty()) {
        QStringList roots;
        for (int i = 0; i < drivesItem_->childCount(); ++i) {
            roots.append(KindOf(drivesItem_->child(i)) == ItemKind::Drive
                             ? RealName(drivesItem_->child(i))
                             : QString());
        }
        const int drive = DriveRoots::LongestPrefix(roots, path);
        if (drive < 0) {
            return false;
        }
        current = drivesItem_->child(drive);
        current->setExpanded(true);
        const QStringList parts = path.mid(roots.at(drive).size()).split(u'/', Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            current = FindChild(current, part);
            if (current == nullptr) {
                return false;
            }
            if (KindOf(current) == ItemKind::Folder) {
                current->setExpanded(true);
            }
        }
    }
    setCurrentItem(current);
    scrollToItem(current);
    return true;
}

QTreeWidgetItem* FolderTree::FindChild(QTreeWidgetItem* parent, const QString& name) const {
    if (name.isEmpty()) {
        return nullptr;
    }
    QStringList names;
    names.reserve(parent->childCount());
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        const ItemKind kind = KindOf(child);
        names.append(kind == ItemKind::Folder || kind == ItemKind::File ? RealName(child)
                                                                        : QString());
    }
    const int index = FolderListing::FindName(names, name);
    return index < 0 ? nullptr : parent->child(index);
}

void FolderTree::OnItemExpanded(QTreeWidgetItem* item) {
    if (IsContainer(KindOf(item))) {
        PopulateItem(item);
    }
}

void FolderTree::OnItemCollapsed(QTreeWidgetItem* item) {
    if (!IsContainer(KindOf(item))) {
        return;
    }
    // Closing a folder that holds the current item makes the folder current, before its
    // children go.
    for (QTreeWidgetItem* up = currentItem(); up != nullptr; up = up->parent()) {
        if (up->parent() == item) {
            setCurrentItem(item);
            break;
        }
    }
    ClearChildren(item, true);
}

void FolderTree::PopulateItem(QTreeWidgetItem* item) {
    const ItemKind kind = KindOf(item);
    QList<QTreeWidgetItem*> children;
    if (kind == ItemKind::Drives) {
        ClearChildren(item, false);
        const QList<DriveRoot> drives = DriveRoots::List();
        for (const DriveRoot& root : drives) {
            QTreeWidgetItem* drive =
                MakeItem(ItemKind::Drive, root.displayName, root.rootPath, IconFor(root.rootPath));
            drive->addChild(MakePlaceholder());
            children.append(drive);
        }
    } else {
        // The path is taken while the children are still there.
        const QString folder = PathOfItem(item);
        ClearChildren(item, false);
        const FolderListing::Entries entries = FolderListing::Read(folder);
        IconCache icons;
        children.reserve(entries.folders.size() + entries.files.size());
        for (const QString& name : entries.folders) {
            QTreeWidgetItem* child = MakeEntryItem(ItemKind::Folder, folder, name, icons);
            child->addChild(MakePlaceholder());
            children.append(child);
        }
        for (const QString& name : entries.files) {
            if (IncludeFile(name)) {
                children.append(MakeEntryItem(ItemKind::File, folder, name, icons));
            }
        }
    }
    if (children.isEmpty()) {
        item->addChild(MakePlaceholder());
    } else {
        item->addChildren(children);
    }
}

void FolderTree::ClearChildren(QTreeWidgetItem* item, bool addPlaceholder) {
    const QList<QTreeWidgetItem*> children = item->takeChildren();
    qDeleteAll(children);
    if (addPlaceholder) {
        item->addChild(MakePlaceholder());
    }
}

QTreeWidgetItem* FolderTree::MakeItem(ItemKind kind, const QString& label, const QString& realName,
                                      const QIcon& icon) const {
    auto* item = new QTreeWidgetItem(QStringList{label});
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setData(0, kNameRole, realName);
    item->setIcon(0, icon);
    item->setToolTip(0, label);  // for a name wider than the tree
    if (kind == ItemKind::File) {
        item->setFlags(item->flags() | Qt::ItemNeverHasChildren);
    }
    return item;
}

QTreeWidgetItem* FolderTree::MakeEntryItem(ItemKind kind, const QString& folderPath,
                                           const QString& name, IconCache& icons) const {
    const QString path = folderPath + name;
    // The provider picks a file's icon by its type, which for a name with a suffix is that
    // suffix's; asking it once per suffix and listing keeps large folders quick. Names without a
    // suffix, and folders, which may have icons of their own, are asked about one by one.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (kind != ItemKind::File || dot <= 0 || dot == name.size() - 1) {
        return MakeItem(kind, FolderListing::LabelFor(name, name), name, IconFor(path));
    }
    const QString key = name.mid(dot + 1).toLower();
    auto cached = icons.constFind(key);
    if (cached == icons.constEnd()) {
        cached = icons.insert(key, IconFor(path));
    }
    return MakeItem(kind, FolderListing::LabelFor(name, name), name, *cached);
}

QTreeWidgetItem* FolderTree::MakePlaceholder() {
    auto* item = new QTreeWidgetItem(QStringList{QString()});
    item->setData(0, kKindRole, static_cast<int>(ItemKind::Placeholder));
    item->setFlags(item->flags() | Qt::ItemNeverHasChildren);
    return item;
}

QIcon FolderTree::IconFor(const QString& path) const {
    const QIcon icon = iconProvider_.icon(QFileInfo(path));
    if (!icon.isNull()) {
        return icon;
    }
    // A path that does not exist (any more) gets the generic file icon.
    return iconProvider_.icon(QAbstractFileIconProvider::File);
}
