// Backups of several controllers at once into the history, read back with libgit2.

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include "setfile/SetFileWriter.h"
#include "tests/site/SiteRun.h"
#include "tests/support/HistoryReader.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;

namespace {

// A message set of the named messages, each a wave of the given sound bytes.
QByteArray BuildSet(const QString& folder, const QList<std::pair<QString, int>>& messages) {
    QList<MessageEntry> entries;
    for (const auto& [name, bytes] : messages) {
        const QString path = QDir(folder).filePath(name + u".wav"_s);
        const QByteArray wave = wave_files::Make(bytes);
        if (!wave_files::Write(path, wave)) {
            return {};
        }
        entries << MessageEntry{name, static_cast<quint32>(wave.size()), path};
    }
    QByteArray set;
    QBuffer buffer(&set);
    buffer.open(QIODevice::WriteOnly);
    return SetFileWriter().Write(buffer, u"lobby"_s, entries).Ok() ? set : QByteArray();
}

}  // namespace

class TestSiteBackup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void backupMirrorsEveryControllerAndCommitsOnlyChanges() {
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, {}, {}}), qPrintable(fleet.ErrorText()));
        const QByteArray config = "[System]\r\nZones=8\r\n";
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, config));
        QVERIFY(fleet.PutOnAll(u"/rfa/web/img/logo.gif"_s, "GIF89a"));
        QVERIFY(fleet.PutOnAll(u"/mmu/lobby.set"_s, QByteArray(3000, 'm')));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        const QString password = fleet.At(0).Password();
        const HistoryReader history(QDir(folder.path()).filePath(u"history"_s));

        QString error;
        auto run =
            RunSite(folder.path(), SiteRequest(SiteOperation::Command::Backup), password, &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY(run->Succeeded());
        QCOMPARE(run->Commits().size(), 1);
        QCOMPARE(history.Commits(), 1);
        QCOMPARE(history.File(u"c2/rfa/cfg/system.cfg"_s), config);
        QCOMPARE(history.File(u"c3/rfa/web/img/logo.gif"_s), QByteArray("GIF89a"));
        QVERIFY(!history.File(u"c1/mmu/card"_s));  // the card pseudo-file is no file
        // Identical files on many controllers are one blob.
        QCOMPARE(history.BlobId(u"c1/rfa/cfg/system.cfg"_s),
                 history.BlobId(u"c3/rfa/cfg/system.cfg"_s));
        QVERIFY(history.Author().startsWith(u"Test Engineer <"_s));
        QVERIFY(history.Message().contains(u"Record: c1\tbackup\trfa/cfg/system.cfg\t"_s));

        // Nothing changed: no commit.
        run = RunSite(folder.path(), SiteRequest(SiteOperation::Command::Backup), password, &error);
        QVERIFY2(run, qPrintable(error));
        QVERIFY(run->Succeeded());
        QVERIFY(run->Commits().isEmpty());
        QCOMPARE(history.Commits(), 1);
        for (const ControllerOutcome& outcome : run->Outcomes()) {
            QCOMPARE(outcome.message, u"no change"_s);
        }

        // One file changed on one controller, one removed on another: one commit with both.
        QFile changed(fleet.At(1).LocalPath(u"/rfa/cfg/system.cfg"_s));
        QVERIFY(changed.open(QIODevice::WriteOnly) && changed.write("[System]\r\nZones=16\r\n"));
        changed.close();
        QVERIFY(QFile::remove(fleet.At(2).LocalPath(u"/rfa/web/img/logo.gif"_s)));
        run = RunSite(folder.path(), SiteRequest(SiteOperation::Command::Backup), password, &error);
        QVERIFY2(run, qPrintable(error));
        QCOMPARE(history.Commits(), 2);
        QCOMPARE(history.File(u"c2/rfa/cfg/system.cfg"_s), QByteArray("[System]\r\nZones=16\r\n"));
        QCOMPARE(history.File(u"c2/rfa/cfg/system.cfg"_s, u"HEAD~1"_s), config);
        QVERIFY(!history.File(u"c3/rfa/web/img/logo.gif"_s));
        QVERIFY(history.File(u"c1/rfa/web/img/logo.gif"_s));
        // The work tree mirrors the commit.
        QVERIFY(!QFile::exists(folder.filePath(u"history/c3/rfa/web/img/logo.gif"_s)));
        QVERIFY(QFile::exists(folder.filePath(u"history/c1/rfa/web/img/logo.gif"_s)));
    }

    void statusNamesWhatDiffersWithoutWriting() {
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/a.cfg"_s, "aaaa"));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/b.cfg"_s, "bbbb"));
        QTemporaryDir folder;
        const QByteArray set = BuildSet(folder.path(), {{u"chime"_s, 1000}, {u"evacuate"_s, 2000}});
        QVERIFY(!set.isEmpty());
        QVERIFY(fleet.PutOnAll(u"/mmu/lobby.set"_s, set));
        QVERIFY(fleet.WriteSite(folder.path()));
        const QString password = fleet.At(0).Password();
        QString error;
        QVERIFY2(
            RunSite(folder.path(), SiteRequest(SiteOperation::Command::Backup), password, &error),
            qPrintable(error));
        // Same size, other contents: only a comparison by contents sees it.
        QFile a(fleet.At(0).LocalPath(u"/rfa/cfg/a.cfg"_s));
        QVERIFY(a.open(QIODevice::WriteOnly) && a.write("AAAA") == 4);
        a.close();
        QVERIFY(QFile::remove(fleet.At(0).LocalPath(u"/rfa/cfg/b.cfg"_s)));
        QVERIFY(fleet.PutOnAll(u"/boot/app.bim"_s, "app"));
        const QByteArray changedSet = BuildSet(
            folder.path(), {{u"chime"_s, 1000}, {u"evacuate"_s, 3000}, {u"all clear"_s, 500}});
        QVERIFY(fleet.PutOnAll(u"/mmu/lobby.set"_s, changedSet));

        const auto run =
            RunSite(folder.path(), SiteRequest(SiteOperation::Command::Status), password, &error);
        QVERIFY2(run, qPrintable(error));
        QCOMPARE(run->Outcomes().first().details,
                 (QStringList{u"changed mmu/lobby.set (%1 -> %2 bytes): messages added: all "
                              u"clear; messages changed: evacuate"_s.arg(set.size())
                                  .arg(changedSet.size()),
                              u"added boot/app.bim (3 bytes)"_s, u"removed rfa/cfg/b.cfg"_s,
                              u"changed rfa/cfg/a.cfg (same size, other contents)"_s}));
        QVERIFY(run->Commits().isEmpty());
        QCOMPARE(HistoryReader(folder.filePath(u"history"_s)).Commits(), 1);
    }
};

VANTREL_TEST_MAIN(TestSiteBackup)
#include "test_site_backup.moc"
