#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include "browse/FolderTree.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {
void Touch(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList Labels(const QTreeWidgetItem* item) {
    QStringList labels;
    for (int i = 0; i < item->childCount(); ++i) {
        labels << item->child(i)->text(0);
    }
    return labels;
}

QTreeWidgetItem* ChildByName(const QTreeWidgetItem* item, const QString& realName) {
    for (int i = 0; i < item->childCount(); ++i) {
        if (FolderTree::RealName(item->child(i)) == realName) {
            return item->child(i);
        }
    }
    return nullptr;
}

bool IsSinglePlaceholder(const QTreeWidgetItem* item) {
    return item->childCount() == 1 &&
           FolderTree::KindOf(item->child(0)) == FolderTree::ItemKind::Placeholder &&
           item->child(0)->text(0).isEmpty() && item->child(0)->icon(0).isNull();
}

QImage IconImage(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}
}  // namespace

class TestFolderTree : public QObject {
    Q_OBJECT

private slots:
    void init();
    void startsWithDrivesAboveDesktop();
    void emptyFolderKeepsOnePlaceholder();
    void reopenedFolderShowsFilesCreatedMeanwhile();
    void waveAndSetFilterListsRealFiles();
    void allFilesFilterUsesDisplayNames();
    void pathOfItemForEveryKind();
    void selectPathOfEmptyPathSelectsDrives();
    void selectPathMatchesPartsWithoutRegardToCase();
    void selectPathFailureKeepsCurrentItem();
    void selectPathHandlesLongPaths();
    void refreshItemListsNewFilesAndKeepsCurrent();
    void iconsStayRightAfterManyOpensAndCloses();
    void desktopFallsBackToHome();

private:
    // Opens the test folder in the tree and returns its item.
    QTreeWidgetItem* OpenRoot(FolderTree& tree);

    std::unique_ptr<QTemporaryDir> dir_;
    QString root_;  // the test folder with a final "/"
};

void TestFolderTree::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    root_ = QDir(dir_->path()).canonicalPath() + u'/';
}

QTreeWidgetItem* TestFolderTree::OpenRoot(FolderTree& tree) {
    if (!tree.SelectPath(root_)) {
        return nullptr;
    }
    QTreeWidgetItem* item = tree.currentItem();
    if (item != nullptr && tree.PathOfItem(item) != root_) {
        return nullptr;
    }
    return item;
}

void TestFolderTree::startsWithDrivesAboveDesktop() {
    FolderTree tree;
    QCOMPARE(tree.topLevelItemCount(), 2);
    QCOMPARE(tree.topLevelItem(0)->text(0), u"Drives"_s);
    QCOMPARE(tree.topLevelItem(1), tree.DesktopItem());
    QVERIFY(!tree.DrivesItem()->isExpanded());
    QVERIFY(IsSinglePlaceholder(tree.DrivesItem()));
    QVERIFY(IsSinglePlaceholder(tree.DesktopItem()));

    tree.DrivesItem()->setExpanded(true);
    QVERIFY(tree.DrivesItem()->childCount() >= 1);
    QCOMPARE(tree.PathOfItem(tree.DrivesItem()->child(0)), u"/"_s);
    // Named as the file transfer page's drive combo names it.
    QCOMPARE(tree.DrivesItem()->child(0)->text(0), QStorageInfo::root().displayName());
    tree.DrivesItem()->setExpanded(false);
    QVERIFY(IsSinglePlaceholder(tree.DrivesItem()));
}

void TestFolderTree::emptyFolderKeepsOnePlaceholder() {
    QVERIFY(QDir(root_).mkpath(u"empty"_s));
    QVERIFY(QDir(root_).mkpath(u"textonly"_s));
    Touch(root_ + u"textonly/notes.txt"_s);

    FolderTree tree;
    tree.fileFilter = 1;
    QTreeWidgetItem* root = OpenRoot(tree);
    QVERIFY(root != nullptr);
    for (const QString& name : {u"empty"_s, u"textonly"_s}) {
        QTreeWidgetItem* folder = ChildByName(root, name);
        QVERIFY(folder != nullptr);
        QVERIFY(IsSinglePlaceholder(folder));
        folder->setExpanded(true);
        QVERIFY2(IsSinglePlaceholder(folder), qPrintable(name));
        QCOMPARE(tree.PathOfItem(folder->child(0)), QString());
        QVERIFY(folder->isExpanded());
        folder->setExpanded(false);
        QVERIFY(IsSinglePlaceholder(folder));
    }
}

void TestFolderTree::reopenedFolderShowsFilesCreatedMeanwhile() {
    QVERIFY(QDir(root_).mkpath(u"sounds"_s));
    Touch(root_ + u"sounds/one.wav"_s);

    FolderTree tree;
    tree.fileFilter = 1;
    QTreeWidgetItem* sounds = ChildByName(OpenRoot(tree), u"sounds"_s);
    QVERIFY(sounds != nullptr);
    sounds->setExpanded(true);
    QCOMPARE(Labels(sounds), QStringList{u"one.wav"_s});

    sounds->setExpanded(false);
    QVERIFY(IsSinglePlaceholder(sounds));
    Touch(root_ + u"sounds/two.wav"_s);
    QVERIFY(QFile::remove(root_ + u"sounds/one.wav"_s));
    sounds->setExpanded(true);
    QCOMPARE(Labels(sounds), QStringList{u"two.wav"_s});
}

void TestFolderTree::waveAndSetFilterListsRealFiles() {
    Touch(root_ + u"Alarm.WAV"_s, "RIFF alarm");
    Touch(root_ + u"notes.txt"_s);
    Touch(root_ + u"Lobby.Set"_s);
    Touch(root_ + u"wave.wav.txt"_s);
    QVERIFY(QDir(root_).mkpath(u"X.SET"_s));
    QVERIFY(QDir(root_).mkpath(u"sub"_s));

    FolderTree tree;
    tree.fileFilter = 1;
    QTreeWidgetItem* root = OpenRoot(tree);
    QVERIFY(root != nullptr);
    root->setExpanded(true);

    QStringList labels = Labels(root);
    QCOMPARE(labels.size(), 4);
    // Folders first, then files; each group in the file system's order.
    QVERIFY(QSet<QString>(labels.begin(), labels.begin() + 2) ==
            QSet<QString>({u"x.set"_s, u"sub"_s}));
    QVERIFY(QSet<QString>(labels.begin() + 2, labels.end()) ==
            QSet<QString>({u"alarm.wav"_s, u"lobby.set"_s}));

    QTreeWidgetItem* setFolder = ChildByName(root, u"X.SET"_s);
    QCOMPARE(FolderTree::KindOf(setFolder), FolderTree::ItemKind::Folder);
    QCOMPARE(setFolder->text(0), u"x.set"_s);
    QCOMPARE(tree.PathOfItem(setFolder), root_ + u"X.SET/"_s);
    QVERIFY(IsSinglePlaceholder(setFolder));

    QTreeWidgetItem* alarm = ChildByName(root, u"Alarm.WAV"_s);
    QCOMPARE(alarm->text(0), u"alarm.wav"_s);
    QCOMPARE(alarm->toolTip(0), u"alarm.wav"_s);  // for a name wider than the tree
    QCOMPARE(alarm->childCount(), 0);
    const QString alarmPath = tree.PathOfItem(alarm);
    QCOMPARE(alarmPath, root_ + u"Alarm.WAV"_s);
    QFile file(alarmPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("RIFF alarm"));
}

void TestFolderTree::allFilesFilterUsesDisplayNames() {
    Touch(root_ + u"Notes.TXT"_s);
    Touch(root_ + u"Alarm.WAV"_s);
    Touch(root_ + u".hidden"_s);

    FolderTree tree;
    QCOMPARE(tree.fileFilter, 0);
    QTreeWidgetItem* root = OpenRoot(tree);
    root->setExpanded(true);
    QStringList labels = Labels(root);
    labels.sort();
    QCOMPARE(labels, (QStringList{u".hidden"_s, u"Notes.TXT"_s, u"alarm.wav"_s}));
    QVERIFY(tree.IncludeFile(u"anything.bin"_s));
    tree.fileFilter = 1;
    QVERIFY(!tree.IncludeFile(u"anything.bin"_s));
    QVERIFY(tree.IncludeFile(u"A.wAv"_s));
    QVERIFY(!tree.IncludeFile(u"wav"_s));
}

void TestFolderTree::pathOfItemForEveryKind() {
    QVERIFY(QDir(root_).mkpath(u"Sounds"_s));
    Touch(root_ + u"Sounds/Fire.wav"_s);

    FolderTree tree;
    tree.fileFilter = 1;
    QVERIFY(tree.SelectPath(root_ + u"Sounds/Fire.wav"_s));
    QTreeWidgetItem* file = tree.currentItem();
    QCOMPARE(tree.PathOfItem(file), root_ + u"Sounds/Fire.wav"_s);
    QCOMPARE(tree.PathOfItem(file->parent()), root_ + u"Sounds/"_s);
    QCOMPARE(tree.PathOfItem(tree.DrivesItem()), QString());
    QCOMPARE(tree.PathOfItem(nullptr), QString());
    QCOMPARE(tree.PathOfItem(tree.DrivesItem()->child(0)), u"/"_s);
    QCOMPARE(tree.PathOfItem(tree.DesktopItem()), tree.DesktopPath() + u'/');
}

void TestFolderTree::selectPathOfEmptyPathSelectsDrives() {
    FolderTree tree;
    QVERIFY(tree.SelectPath(QString()));
    QCOMPARE(tree.currentItem(), tree.DrivesItem());
    QVERIFY(tree.DrivesItem()->isExpanded());
    QCOMPARE(FolderTree::KindOf(tree.DrivesItem()->child(0)), FolderTree::ItemKind::Drive);
}

void TestFolderTree::selectPathMatchesPartsWithoutRegardToCase() {
    QVERIFY(QDir(root_).mkpath(u"Sounds"_s));
    Touch(root_ + u"Sounds/Alarm.WAV"_s);
    Touch(root_ + u"Sounds/a.wav"_s);
    Touch(root_ + u"Sounds/A.WAV"_s);

    FolderTree tree;
    tree.fileFilter = 1;
    QVERIFY(tree.SelectPath(root_ + u"SOUNDS/alarm.wav"_s));
    QCOMPARE(tree.PathOfItem(tree.currentItem()), root_ + u"Sounds/Alarm.WAV"_s);
    QVERIFY(tree.currentItem()->isSelected());
    QVERIFY(tree.currentItem()->parent()->isExpanded());

    // Two names that differ only in case: the exact one wins.
    QVERIFY(tree.SelectPath(root_ + u"Sounds/A.WAV"_s));
    QCOMPARE(FolderTree::RealName(tree.currentItem()), u"A.WAV"_s);
    QVERIFY(tree.SelectPath(root_ + u"Sounds/a.wav"_s));
    QCOMPARE(FolderTree::RealName(tree.currentItem()), u"a.wav"_s);

    // A folder path with or without its final separator.
    QVERIFY(tree.SelectPath(root_ + u"sounds"_s));
    QCOMPARE(tree.PathOfItem(tree.currentItem()), root_ + u"Sounds/"_s);
}

void TestFolderTree::selectPathFailureKeepsCurrentItem() {
    QVERIFY(QDir(root_).mkpath(u"Sounds"_s));
    FolderTree tree;
    QVERIFY(tree.SelectPath(root_));
    QTreeWidgetItem* before = tree.currentItem();
    QSignalSpy changes(&tree, &QTreeWidget::currentItemChanged);

    QVERIFY(!tree.SelectPath(root_ + u"Sounds/missing.wav"_s));
    QVERIFY(!tree.SelectPath(u"relative/path"_s));
    QCOMPARE(tree.currentItem(), before);
    QCOMPARE(changes.count(), 0);
    QVERIFY(ChildByName(before, u"Sounds"_s)->isExpanded());
}

void TestFolderTree::selectPathHandlesLongPaths() {
    QString relative;
    for (int i = 0; i < 12; ++i) {
        relative += u"folder_with_a_rather_long_name_%1/"_s.arg(i);
    }
    QVERIFY(QDir(root_).mkpath(relative));
    Touch(root_ + relative + u"deep.wav"_s);
    const QString path = root_ + relative + u"deep.wav"_s;
    QVERIFY(path.size() > 300);

    FolderTree tree;
    QVERIFY(tree.SelectPath(path));
    QCOMPARE(tree.PathOfItem(tree.currentItem()), path);
}

void TestFolderTree::refreshItemListsNewFilesAndKeepsCurrent() {
    Touch(root_ + u"one.wav"_s);
    FolderTree tree;
    tree.fileFilter = 1;
    QVERIFY(tree.SelectPath(root_ + u"one.wav"_s));
    QTreeWidgetItem* folder = tree.currentItem()->parent();

    Touch(root_ + u"Two.SET"_s);
    QSignalSpy changes(&tree, &QTreeWidget::currentItemChanged);
    tree.RefreshItem(folder);
    QStringList labels = Labels(folder);
    labels.sort();
    QCOMPARE(labels, (QStringList{u"one.wav"_s, u"two.set"_s}));
    QCOMPARE(tree.PathOfItem(tree.currentItem()), root_ + u"one.wav"_s);
    QCOMPARE(changes.count(), 0);  // the same file is still the current item

    // The current file went: the change is reported once.
    QVERIFY(QFile::remove(root_ + u"one.wav"_s));
    tree.RefreshItem(folder);
    QCOMPARE(changes.count(), 1);
    QVERIFY(tree.PathOfItem(tree.currentItem()) != root_ + u"one.wav"_s);
    QCOMPARE(Labels(folder), QStringList{u"two.set"_s});

    // A closed folder is listed as well.
    folder->setExpanded(false);
    tree.RefreshItem(folder);
    QCOMPARE(folder->childCount(), 1);
    tree.RefreshItem(nullptr);  // nothing happens
}

void TestFolderTree::iconsStayRightAfterManyOpensAndCloses() {
    QVERIFY(QDir(root_).mkpath(u"a/inner"_s));
    QVERIFY(QDir(root_).mkpath(u"b"_s));
    Touch(root_ + u"a/x.wav"_s);
    Touch(root_ + u"b/y.set"_s);
    Touch(root_ + u"b/z.txt"_s);
    Touch(root_ + u"c.txt"_s);

    FolderTree tree;
    QTreeWidgetItem* root = OpenRoot(tree);
    QVERIFY(root != nullptr);
    QTreeWidgetItem* a = ChildByName(root, u"a"_s);
    QTreeWidgetItem* b = ChildByName(root, u"b"_s);
    for (int round = 0; round < 30; ++round) {
        a->setExpanded(true);
        ChildByName(a, u"inner"_s)->setExpanded(true);
        b->setExpanded(round % 2 == 0);
        a->setExpanded(false);
    }
    a->setExpanded(true);
    b->setExpanded(true);

    QFileIconProvider provider;
    const QList<QTreeWidgetItem*> items{root,
                                        a,
                                        b,
                                        ChildByName(root, u"c.txt"_s),
                                        ChildByName(a, u"inner"_s),
                                        ChildByName(a, u"x.wav"_s),
                                        ChildByName(b, u"y.set"_s),
                                        ChildByName(b, u"z.txt"_s)};
    for (QTreeWidgetItem* item : items) {
        QVERIFY(item != nullptr);
        const QString path = tree.PathOfItem(item);
        QVERIFY2(!item->icon(0).isNull(), qPrintable(path));
        QCOMPARE(IconImage(item->icon(0)), IconImage(provider.icon(QFileInfo(path))));
    }
    // Folders and files look different, so an icon that moved to another item would show.
    QVERIFY(IconImage(a->icon(0)) != IconImage(ChildByName(a, u"x.wav"_s)->icon(0)));
    QCOMPARE(IconImage(tree.DrivesItem()->icon(0)),
             IconImage(provider.icon(QAbstractFileIconProvider::Computer)));
    QCOMPARE(IconImage(tree.DesktopItem()->icon(0)),
             IconImage(provider.icon(QAbstractFileIconProvider::Desktop)));
}

void TestFolderTree::desktopFallsBackToHome() {
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(dir_->path()));
    qunsetenv("XDG_CONFIG_HOME");
    const QString home = QDir::cleanPath(dir_->path());
    {
        FolderTree tree;
        QCOMPARE(tree.DesktopPath(), home);
        QCOMPARE(tree.PathOfItem(tree.DesktopItem()), home + u'/');
    }
    QVERIFY(QDir(home).mkpath(u"Desktop"_s));
    Touch(home + u"/Desktop/Hello.wav"_s);
    {
        FolderTree tree;
        tree.fileFilter = 1;
        QCOMPARE(tree.DesktopPath(), home + u"/Desktop"_s);
        QCOMPARE(tree.DesktopItem()->text(0), u"Desktop"_s);
        tree.DesktopItem()->setExpanded(true);
        QCOMPARE(Labels(tree.DesktopItem()), QStringList{u"hello.wav"_s});
        QCOMPARE(tree.PathOfItem(tree.DesktopItem()->child(0)), home + u"/Desktop/Hello.wav"_s);
    }
    qputenv("HOME", oldHome);
    if (!oldConfig.isEmpty()) {
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
}

VANTREL_TEST_MAIN(TestFolderTree)
#include "test_folder_tree.moc"
