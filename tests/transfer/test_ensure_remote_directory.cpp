// The walk that makes every level of a remote directory, against the controller simulator.

#include <QDir>
#include <QFile>
#include <QTest>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/TestMain.h"
#include "transfer/EnsureRemoteDirectory.h"

using namespace Qt::StringLiterals;

class TestEnsureRemoteDirectory : public QObject {
    Q_OBJECT

private:
    // Starts the simulator and connects the session, which ends in /mmu.
    void Open(ControllerSimulator& simulator, ControllerSession& session) {
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        QVERIFY2(session.Connect(ToolState::AppCaption(), simulator.Host(), simulator.User(),
                                 simulator.Password(), simulator.Port()),
                 qPrintable(session.LastError()));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
    }

    static bool IsDirectory(const ControllerSimulator& simulator, const QString& remote) {
        return QFileInfo(simulator.LocalPath(remote)).isDir();
    }

private slots:
    void CreatesTheMissingLevelsAndComesBack() {
        ControllerSimulator simulator;
        ControllerSession session;
        Open(simulator, session);
        QVERIFY(QDir(simulator.LocalPath(u"/rfa/cfg"_s)).removeRecursively());
        const QString before = session.GetRemoteDirectory();
        QVERIFY(!before.isEmpty());

        QCOMPARE(EnsureRemoteDirectory(session, u"/rfa\\cfg\\def"_s), RemoteDirectoryWalk::Made);
        QVERIFY(IsDirectory(simulator, u"/rfa/cfg"_s));
        QVERIFY(IsDirectory(simulator, u"/rfa/cfg/def"_s));
        QCOMPARE(session.GetRemoteDirectory(), before);
        // Levels that exist are entered, not made again.
        QVERIFY(!simulator.CommandLog().contains(u"MKD /rfa\n"_s));

        // An existing single level is only visited.
        QCOMPARE(EnsureRemoteDirectory(session, u"/mmu"_s), RemoteDirectoryWalk::Made);
        QCOMPARE(simulator.CommandLog().count(u"MKD"_s), 2);
        QCOMPARE(session.GetRemoteDirectory(), before);
    }

    void StopsAtTheFirstLevelThatCannotBeMade() {
        ControllerSimulator simulator;
        ControllerSession session;
        Open(simulator, session);
        // A file where the middle level should be: it can be neither entered nor created.
        QVERIFY(QDir(simulator.LocalPath(u"/rfa/cfg"_s)).removeRecursively());
        QFile blocker(simulator.LocalPath(u"/rfa/cfg"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString before = session.GetRemoteDirectory();

        QCOMPARE(EnsureRemoteDirectory(session, u"/rfa\\cfg\\def"_s), RemoteDirectoryWalk::NotMade);
        QVERIFY(!simulator.CommandLog().contains(u"rfa\\cfg\\def"_s));
        QCOMPARE(session.GetRemoteDirectory(), before);
    }

    void RefusedCreationFails() {
        ControllerSimulator::Options options;
        options.refuseMkd = true;
        ControllerSimulator simulator(options);
        ControllerSession session;
        Open(simulator, session);
        QVERIFY(QDir(simulator.LocalPath(u"/rfa/drv"_s)).removeRecursively());
        QCOMPARE(EnsureRemoteDirectory(session, u"/rfa\\drv"_s), RemoteDirectoryWalk::NotMade);
        QVERIFY(!IsDirectory(simulator, u"/rfa/drv"_s));
        QVERIFY(session.IsConnected());
    }

    // The directory the session was in is gone when the walk goes back: the walk says so rather
    // than leave the session in the directory it made.
    void AWayBackThatFailsIsReported() {
        ControllerSimulator simulator;
        ControllerSession session;
        Open(simulator, session);
        QVERIFY(QDir().mkpath(simulator.LocalPath(u"/mmu/gone"_s)));
        QVERIFY(session.SetRemoteDirectory(u"/mmu\\gone"_s));
        QVERIFY(QDir(simulator.LocalPath(u"/mmu/gone"_s)).removeRecursively());
        QCOMPARE(EnsureRemoteDirectory(session, u"/rfa\\new"_s), RemoteDirectoryWalk::NotBack);
        QVERIFY(IsDirectory(simulator, u"/rfa/new"_s));
    }
};

VANTREL_TEST_GUILESS_MAIN(TestEnsureRemoteDirectory)
#include "test_ensure_remote_directory.moc"
