// The rules behind the file transfer page: the message and the lists to refresh for each outcome,
// which remote directories may be made, what each category allows, and what the local list
// shows.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/TestMain.h"
#include "transfer/FileCategory.h"
#include "transfer/RemoteCategoryDirectory.h"
#include "transfer/TransferListing.h"
#include "transfer/TransferOutcomes.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;
using Direction = TransferOutcomes::Direction;

namespace {
const QString kPrefix = u"File transfer did not succeed because of the following reason:\n"_s;
}  // namespace

class TestTransferPageRules : public QObject {
    Q_OBJECT

private slots:
    void MessagesAndRefreshesForEachOutcome_data() {
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("uploadRefreshesRemote");
        QTest::newRow("not connected")
            << Outcome::NotConnected << u"Not connected. Use Login to connect"_s << false;
        QTest::newRow("not found")
            << Outcome::NotFound << kPrefix + u"Selected file could not be found"_s << false;
        QTest::newRow("directory")
            << Outcome::IsDirectory << kPrefix + u"Selected file is a directory"_s << true;
        QTest::newRow("not web root")
            << Outcome::NotWebRoot << kPrefix + u"Selected file is not a valid directory"_s << true;
        QTest::newRow("cannot open")
            << Outcome::CannotOpen << u"Could create file on Zentor"_s << false;
        QTest::newRow("too large")
            << Outcome::LargerThanCard << u"Message set is larger than the flash card"_s << false;
        QTest::newRow("done") << Outcome::Done << u"File transfer completed succesfully"_s << true;
        QTest::newRow("failed") << Outcome::Failed << kPrefix + u"why 100%"_s << true;
        QTest::newRow("cancelled")  // the reason: what the cancel left on the controller
            << Outcome::Cancelled << u"FTP send cancelled by user. why 100%"_s << true;
    }

    void MessagesAndRefreshesForEachOutcome() {
        QFETCH(Outcome, outcome);
        QFETCH(QString, message);
        QFETCH(bool, uploadRefreshesRemote);
        QCOMPARE(TransferOutcomes::MessageFor({outcome, u"why 100%"_s}), message);
        const TransferOutcomes::ListsToRefresh upload =
            TransferOutcomes::After(Direction::Upload, outcome);
        QCOMPARE(upload.remote, uploadRefreshesRemote);
        QVERIFY(!upload.local);
        const TransferOutcomes::ListsToRefresh download =
            TransferOutcomes::After(Direction::Download, outcome);
        QVERIFY(download.local);
        QVERIFY(!download.remote);
    }

    void OnlyDirectoriesBelowRfaAreMade() {
        QVERIFY(RemoteCategoryDirectory::MayBeCreated(u"/rfa\\cfg"_s));
        QVERIFY(RemoteCategoryDirectory::MayBeCreated(u"/rfa"_s));
        QVERIFY(!RemoteCategoryDirectory::MayBeCreated(u"/mmu"_s));
        QVERIFY(!RemoteCategoryDirectory::MayBeCreated(u"/web"_s));
        QVERIFY(
            !RemoteCategoryDirectory::MayBeCreated(u"/RFA\\cfg"_s));  // as the controller spells it
    }

    void OnlyWebIsSendOnlyAndOnlyMessageSetFolderIsMade() {
        for (FileCategory category : kAllFileCategories) {
            QCOMPARE(CategoryFetchesAndDeletes(category), category != FileCategory::Web);
            QCOMPARE(CategoryMakesLocalDirectory(category), category == FileCategory::MessageSet);
        }
    }

    void LocalListShowsDirectoriesFirstAndFilteredFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString& name : {u"b.set"_s, u"A.SET"_s, u"c.wav"_s, u".hidden.set"_s}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(u"zeta"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"Alpha"_s));
        using Entry = TransferListing::Entry;
        QCOMPARE(TransferListing::Local(dir.path(), u".set"_s),
                 (QList<Entry>{{u".."_s, true},
                               {u"Alpha"_s, true},
                               {u"zeta"_s, true},
                               {u".hidden.set"_s, false},
                               {u"b.set"_s, false}}));
        QVERIFY(TransferListing::Remote(nullptr).isEmpty());
    }
};

VANTREL_TEST_GUILESS_MAIN(TestTransferPageRules)
#include "test_transfer_page_rules.moc"
