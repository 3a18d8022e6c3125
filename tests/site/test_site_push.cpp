// Pushes to several controllers with read-back, their record, the way back, and the dry run.

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "tests/site/SiteRun.h"
#include "tests/support/HistoryReader.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

namespace {

bool WriteFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

SiteOperation::Request PushRequest(FileCategory category, const QString& file) {
    SiteOperation::Request request = SiteRequest(SiteOperation::Command::Push);
    request.category = category;
    request.localPath = file;
    return request;
}

}  // namespace

class TestSitePush : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pushIsProvenRecordedAndCanBeUndone() {
        ControllerSimulator::Options full;
        full.storeFullAfter = 5000;  // "552": permanent
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, {}, full}), qPrintable(fleet.ErrorText()));
        const QByteArray old = "[System]\r\nZones=8\r\n";
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, old));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        const QByteArray next(20000, 'n');
        const QString file = folder.filePath(u"system.cfg"_s);
        QVERIFY(WriteFile(file, next));
        const QString password = fleet.At(0).Password();
        const HistoryReader history(folder.filePath(u"history"_s));

        QString error;
        auto run = RunSite(folder.path(), PushRequest(FileCategory::Configuration, file), password,
                           &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY(!run->Succeeded());
        const QList<ControllerOutcome> outcomes = run->Outcomes();
        QCOMPARE(ResultName(outcomes[0].result), u"done"_s);
        QCOMPARE(ResultName(outcomes[1].result), u"done"_s);
        QCOMPARE(ResultName(outcomes[2].result), u"failed"_s);
        QCOMPARE(outcomes[2].attempts, 1);  // a full store is not tried again
        QCOMPARE(ReadAll(fleet.At(1).LocalPath(u"/rfa/cfg/system.cfg"_s)), next);

        // The files as found first, then the push, recorded although one controller failed.
        QCOMPARE(run->Commits().size(), 2);
        QCOMPARE(history.Commits(), 2);
        QCOMPARE(history.File(u"c1/rfa/cfg/system.cfg"_s), next);
        QCOMPARE(history.File(u"c3/rfa/cfg/system.cfg"_s), old);  // never taken for pushed
        QCOMPARE(history.File(u"c3/rfa/cfg/system.cfg"_s, u"HEAD~1"_s), old);
        QVERIFY(history.Message().contains(u"Record: c3\tpush\trfa/cfg/system.cfg\t\tfailed: "_s));
        const QString beforeId = run->Commits().first().left(12);
        const QString restore =
            u"rfa/cfg/system.cfg on c3 may be incomplete; put the old one back with: "
            u"vantrel-site restore c3 rfa/cfg/system.cfg --from "_s +
            beforeId;
        QVERIFY2(outcomes[2].message.contains(restore), qPrintable(outcomes[2].message));
        QVERIFY(history.Message().contains(restore));

        // The way back: the old file from that commit, itself recorded.
        SiteOperation::Request back = SiteRequest(SiteOperation::Command::Restore);
        back.only = {u"c3"_s};
        back.remotePath = u"/rfa\\cfg\\system.cfg"_s;
        back.fromCommit = beforeId;
        run = RunSite(folder.path(), back, password, &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY2(run->Succeeded(), qPrintable(run->Outcomes().first().message));
        QCOMPARE(ReadAll(fleet.At(2).LocalPath(u"/rfa/cfg/system.cfg"_s)), old);
        // The cut file it replaced is kept too, as found, before the restore's own commit.
        QCOMPARE(history.Commits(), 4);
        QVERIFY(history.File(u"c3/rfa/cfg/system.cfg"_s, u"HEAD~1"_s) != old);
        QCOMPARE(history.File(u"c3/rfa/cfg/system.cfg"_s), old);
        QVERIFY(history.Message().startsWith(u"Restore of rfa/cfg/system.cfg from "_s));
    }

    void categoryRulesDryRunAndWebTree() {
        ControllerSimulator::Options smallCard;
        smallCard.cardSize = 1000;
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, smallCard}), qPrintable(fleet.ErrorText()));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        const QString password = fleet.At(0).Password();
        QString error;

        // A message set must fit the card: refused where it does not, never tried again.
        const QString set = folder.filePath(u"lobby.set"_s);
        QVERIFY(WriteFile(set, QByteArray(2000, 's')));
        auto run =
            RunSite(folder.path(), PushRequest(FileCategory::MessageSet, set), password, &error);
        QVERIFY2(run, qPrintable(error));
        QCOMPARE(ResultName(run->Outcomes()[0].result), u"done"_s);
        QCOMPARE(ResultName(run->Outcomes()[1].result), u"failed"_s);
        QCOMPARE(run->Outcomes()[1].attempts, 1);
        QVERIFY(run->Outcomes()[1].message.contains(u"larger than the flash card"_s));
        QVERIFY(!QFile::exists(fleet.At(1).LocalPath(u"/mmu/lobby.set"_s)));

        // A dry run says what would change and writes nothing anywhere.
        const int commits = HistoryReader(folder.filePath(u"history"_s)).Commits();
        const QString web = folder.filePath(u"web"_s);
        QVERIFY(WriteFile(web + u"/index.htm"_s, "<html></html>"));
        QVERIFY(WriteFile(web + u"/img/logo.gif"_s, "GIF89a"));
        SiteOperation::Request dry = PushRequest(FileCategory::Web, web);
        dry.dryRun = true;
        run = RunSite(folder.path(), dry, password, &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY(run->Succeeded());
        static const QRegularExpression newLine(
            u"^rfa/web/img/logo.gif: new -> 6 bytes, sha256 [0-9a-f]{12}$"_s);
        QVERIFY2(run->Outcomes()[0].details.filter(newLine).size() == 1,
                 qPrintable(run->Outcomes()[0].details.join(u'\n')));
        QVERIFY(!QFile::exists(fleet.At(0).LocalPath(u"/rfa/web/index.htm"_s)));
        QCOMPARE(HistoryReader(folder.filePath(u"history"_s)).Commits(), commits);

        // The web category sends the whole tree, each file read back.
        run = RunSite(folder.path(), PushRequest(FileCategory::Web, web), password, &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY2(run->Succeeded(), qPrintable(run->Outcomes()[1].message));
        QCOMPARE(ReadAll(fleet.At(1).LocalPath(u"/rfa/web/img/logo.gif"_s)), QByteArray("GIF89a"));
        QCOMPARE(HistoryReader(folder.filePath(u"history"_s)).File(u"c2/rfa/web/index.htm"_s),
                 QByteArray("<html></html>"));
    }
};

VANTREL_TEST_MAIN(TestSitePush)
#include "test_site_push.moc"
