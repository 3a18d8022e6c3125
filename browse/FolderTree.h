#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QStringList>
#include <QTreeWidget>

// The tree of the PC's folders and files on the message set page. Two top-level items: "Drives",
// holding the file system root and the mounted volumes a user would browse, and the user's desktop
// folder (the home folder when there is no desktop folder). A folder is listed from disk each time
// it is opened and its items are deleted when it is closed, so the tree shows what is on disk at
// the moment a folder was opened. Folders come first, then files, each group in the order the file
// system gives them.
//
// Every item owns its icon. A folder or drive that has not been listed, or that turned out empty,
// holds one placeholder: an item with an empty label and no icon, so that it stays expandable.
//
// Labels: wave (".wav") and set (".set") names in lower case with their extension, everything
// else by its display name. Each item keeps its real name as well, and paths are always built
// from the real names: a lower-cased label does not name an existing file on a case-sensitive
// file system.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    // What an item stands for.
    enum class ItemKind { None, Drives, Drive, Desktop, Folder, File, Placeholder };

    explicit FolderTree(QWidget* parent = nullptr);
    ~FolderTree() override;

    // 0: every file is listed; 1: only ".wav" and ".set" files. Folders are always listed. Takes
    // effect for folders listed from now on.
    int fileFilter = 0;

    // Builds the two top-level items, both closed; with clearAll true every item is deleted
    // first.
    void Initialize(bool clearAll);

    // The full path of item: a drive's root ("/", "/media/usb/"), a folder's path with a final
    // "/", a file's path without one. Empty for "Drives", a placeholder and no item.
    QString PathOfItem(const QTreeWidgetItem* item) const;

    // Lists item's children from disk again, also when item is closed. If the current item was
    // one of them and a child of the same name is listed again, that child becomes current, and
    // currentItemChanged is emitted only when the current item's path is not the same as before.
    void RefreshItem(QTreeWidgetItem* item);

    // Opens "Drives", the drive whose root is the longest prefix of path and each folder along
    // path, then makes the last item current. Parts are matched exactly first, otherwise without
    // regard to case. An empty path selects "Drives". When a part is not found, returns false:
    // what was opened stays open and the current item does not change.
    bool SelectPath(const QString& path);

    // Whether a file with this name (no folder) is listed under fileFilter.
    virtual bool IncludeFile(const QString& name) const;

    static ItemKind KindOf(const QTreeWidgetItem* item);
    // The name on disk of a folder or file item, the root of a drive item.
    static QString RealName(const QTreeWidgetItem* item);

    QTreeWidgetItem* DrivesItem() const { return drivesItem_; }
    QTreeWidgetItem* DesktopItem() const { return desktopItem_; }
    const QString& DesktopPath() const { return desktopPath_; }

private:
    void OnItemExpanded(QTreeWidgetItem* item);
    void OnItemCollapsed(QTreeWidgetItem* item);
    // Lists item's children from disk; item must be "Drives", a drive, the desktop or a folder.
    void PopulateItem(QTreeWidgetItem* item);
    void ClearChildren(QTreeWidgetItem* item, bool addPlaceholder);
    QTreeWidgetItem* MakeItem(ItemKind kind, const QString& label, const QString& realName,
                              const QIcon& icon) const;
    // Icons of files asked of the provider during one listing, by name suffix in lower case.
    using IconCache = QHash<QString, QIcon>;
    QTreeWidgetItem* MakeEntryItem(ItemKind kind, const QString& folderPath, const QString& name,
                                   IconCache& icons) const;
    static QTreeWidgetItem* MakePlaceholder();
    QIcon IconFor(const QString& path) const;
    QTreeWidgetItem* FindChild(QTreeWidgetItem* parent, const QString& name) const;

    QTreeWidgetItem* desktopItem_ = nullptr;
    QString desktopPath_;
    QTreeWidgetItem* drivesItem_ = nullptr;
    QFileIconProvider iconProvider_;
};
