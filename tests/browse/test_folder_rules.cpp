#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include "base/DriveRoots.h"
#include "browse/FolderListing.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

// The name and path rules of the folder tree, without any widget.
class TestFolderRules : public QObject {
    Q_OBJECT

private slots:
    void drivesAreRootsEndingWithTheSeparator();
    void longestPrefixPrefersLongerRootsThenExactCase();
    void findNamePrefersExactCase();
    void labelsAndFilter();
    void onlyRegularFilesAreListed();
    void unreadableFolderListsNothing();
};

void TestFolderRules::drivesAreRootsEndingWithTheSeparator() {
    QCOMPARE(
        DriveRoots::AsRoots({u"/"_s, u"/media/alice/USB STICK"_s, u"/mnt/data/"_s, u"/mnt/data"_s}),
        (QStringList{u"/"_s, u"/media/alice/USB STICK/"_s, u"/mnt/data/"_s}));
    const QList<DriveRoot> drives = DriveRoots::List();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.constFirst().rootPath, u"/"_s);
    QCOMPARE(drives.constFirst().displayName, QStorageInfo::root().displayName());
    QStringList roots;
    for (const DriveRoot& drive : drives) {
        QVERIFY2(drive.rootPath.endsWith(u'/'), qPrintable(drive.rootPath));
        QVERIFY(!drive.displayName.isEmpty());
        roots.append(drive.rootPath);
    }
    QCOMPARE(DriveRoots::AsRoots(roots), roots);  // each once
}

void TestFolderRules::longestPrefixPrefersLongerRootsThenExactCase() {
    const QStringList roots{u"/"_s, u"/media/usb/"_s, u"/media/USB/"_s, u"/mnt/data/"_s};
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/home/a.wav"_s), 0);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/media/usb/a.wav"_s), 1);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/media/USB/a.wav"_s), 2);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/MNT/Data/x"_s), 3);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/mnt/data"_s), 3);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"/mnt/database"_s), 0);
    QCOMPARE(DriveRoots::LongestPrefix(roots, u"relative"_s), -1);
    QCOMPARE(DriveRoots::LongestPrefix({}, u"/x"_s), -1);
}

void TestFolderRules::findNamePrefersExactCase() {
    const QStringList names{QString(), u"Alarm.wav"_s, u"alarm.WAV"_s, u"ALARM.wav"_s};
    QCOMPARE(FolderListing::FindName(names, u"ALARM.wav"_s), 3);
    QCOMPARE(FolderListing::FindName(names, u"alarm.wav"_s), 1);
    QCOMPARE(FolderListing::FindName(names, u"other"_s), -1);
}

void TestFolderRules::labelsAndFilter() {
    QCOMPARE(FolderListing::LabelFor(u"Fire Alarm.WAV"_s, u"Fire Alarm.WAV"_s),
             u"fire alarm.wav"_s);
    QCOMPARE(FolderListing::LabelFor(u"Lobby.Set"_s, u"Lobby.Set"_s), u"lobby.set"_s);
    QCOMPARE(FolderListing::LabelFor(u"Notes.TXT"_s, u"Notes"_s), u"Notes"_s);
    QCOMPARE(FolderListing::LabelFor(u"Notes.TXT"_s, QString()), u"Notes.TXT"_s);
    QVERIFY(FolderListing::IncludeFile(u".wav"_s, 1));
    QVERIFY(!FolderListing::IncludeFile(u"a.wave"_s, 1));
    QVERIFY(FolderListing::IncludeFile(u"a.wave"_s, 0));
    QVERIFY(FolderListing::IsWaveName(u"X.Wav"_s));
    QVERIFY(!FolderListing::IsWaveName(u"X.set"_s));
    QVERIFY(FolderListing::IsSetName(u"X.SET"_s));
}

void TestFolderRules::onlyRegularFilesAreListed() {
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath(u"a.wav"_s)).open(QIODevice::WriteOnly));
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(u"pipe.wav"_s)).constData(), 0600), 0);
    QVERIFY(QDir(dir.path()).mkdir(u"sub.wav"_s));
    const FolderListing::Entries entries = FolderListing::Read(dir.path());
    QCOMPARE(entries.files, QStringList{u"a.wav"_s});
    QCOMPARE(entries.folders, QStringList{u"sub.wav"_s});
    // Devices neither.
    QVERIFY(!FolderListing::Read(u"/dev"_s).files.contains(u"null"_s));
}

void TestFolderRules::unreadableFolderListsNothing() {
    const FolderListing::Entries missing = FolderListing::Read(u"/no/such/folder/"_s);
    QVERIFY(!missing.readable);
    QVERIFY(missing.folders.isEmpty() && missing.files.isEmpty());
    QVERIFY(!FolderListing::Read(QString()).readable);
}

VANTREL_TEST_GUILESS_MAIN(TestFolderRules)
#include "test_folder_rules.moc"
