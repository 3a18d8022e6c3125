#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "controller/ControllerSession.h"
#include "tests/controller/SessionFaults.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/TestMain.h"
#include "transfer/EnsureRemoteDirectory.h"

using namespace Qt::StringLiterals;
using Options = ControllerSimulator::Options;
using namespace session_faults;

// The session's rules after a fault: a connection the controller closed is replaced and the
// remembered directory entered again (or the request fails), only safe requests are repeated
// after a "421", a dead controller costs one wait per command, and names keep their bytes.
class ControllerReconnectTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir local_;

private slots:
    void idle421IsReplacedAndTheDirectoryKept() {
        Options options;
        options.idleTimeout = 1;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\web"_s));
        const QString local = local_.filePath(u"logo.gif"_s);
        QVERIFY(WriteFile(local, "gif"));
        QThread::msleep(1500);  // the controller closes the idle connection with 421
        QVERIFY2(session.Upload(u"logo.gif"_s, local, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/rfa/web/logo.gif"_s)), QByteArray("gif"));
        QCOMPARE(simulator.CommandLog().count(u"USER "_s), 2);  // logged in again
    }

    void lostDirectoryFailsRelativeNames() {
        Options options;
        options.idleTimeout = 1;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(QDir().mkpath(simulator.LocalPath(u"/mmu/gone"_s)));
        QVERIFY(session.SetRemoteDirectory(u"/mmu\\gone"_s));
        QVERIFY(QDir(simulator.LocalPath(u"/mmu/gone"_s)).removeRecursively());
        QThread::msleep(1500);
        const QString local = local_.filePath(u"lost.bin"_s);
        QVERIFY(WriteFile(local, "lost"));
        QVERIFY(!session.Upload(u"lost.bin"_s, local, TransferType::Binary, false));
        QVERIFY2(session.LastError().contains(u"/mmu/gone could not be entered"_s),
                 qPrintable(session.LastError()));
        QDirIterator anywhere(simulator.RootPath(), {u"lost.bin"_s}, QDir::Files,
                              QDirIterator::Subdirectories);
        QVERIFY(!anywhere.hasNext());  // not in "/" nor anywhere else
        QVERIFY(session.Upload(u"/mmu/lost.bin"_s, local, TransferType::Binary, false));
    }

    // A directory the controller does not tell (PWD refused), or tells with a CR that could never
    // be sent back, is not remembered.
    void unreportedRelativeChangeIsNotGuessed_data() {
        QTest::addColumn<bool>("refusePwd");
        QTest::newRow("PWD refused") << true;
        QTest::newRow("PWD path with a CR") << false;
    }

    void unreportedRelativeChangeIsNotGuessed() {
        QFETCH(bool, refusePwd);
        Options options;
        options.idleTimeout = 1;
        options.refusePwd = refusePwd;
        options.pwdCr = !refusePwd;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"mmu"_s));  // the controller does not say where
        QVERIFY(session.RememberedRemoteDirectory().isEmpty());
        QCOMPARE(session.GetRemoteDirectory(), QString());
        const QString local = local_.filePath(u"where.bin"_s);
        QVERIFY(WriteFile(local, "where"));
        QThread::msleep(1500);  // logged in again, in the login directory
        QVERIFY(!session.Upload(u"where.bin"_s, local, TransferType::Binary, false));
        QVERIFY2(session.LastError().contains(u"remote directory is not known"_s),
                 qPrintable(session.LastError()));
        QVERIFY(!QFile::exists(simulator.LocalPath(u"/where.bin"_s)));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));  // an absolute one is known again
        QVERIFY(session.Upload(u"where.bin"_s, local, TransferType::Binary, false));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/where.bin"_s)), QByteArray("where"));
        QVERIFY(!simulator.CommandLog().contains(u'\r'));
    }

    void a421IsRepeatedOnlyWhenSafe_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("repeated");
        QTest::newRow("PWD") << u"PWD"_s << true;
        QTest::newRow("STOR before data") << u"STOR"_s << true;
        QTest::newRow("DELE") << u"DELE"_s << false;
    }

    void a421IsRepeatedOnlyWhenSafe() {
        QFETCH(QString, command);
        QFETCH(bool, repeated);
        Options options;
        // Connect: USER PASS PWD; STOR comes after TYPE and PORT.
        options.close421After = command == u"STOR"_s ? 6 : 4;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        const QString local = local_.filePath(u"retry.bin"_s);
        QVERIFY(WriteFile(local, "retry"));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/old.bin"_s), "old"));
        bool result = false;
        if (command == u"PWD"_s) {
            result = session.GetRemoteDirectory() == u"/"_s;
        } else if (command == u"STOR"_s) {
            result = session.Upload(u"/mmu/retry.bin"_s, local, TransferType::Binary, false);
            QCOMPARE(QFile::exists(simulator.LocalPath(u"/mmu/retry.bin"_s)), result);
        } else {
            result = session.DeleteRemoteFile(u"/mmu/old.bin"_s);
            QVERIFY(QFile::exists(simulator.LocalPath(u"/mmu/old.bin"_s)));
        }
        QVERIFY2(result == repeated, qPrintable(session.LastError()));
        QCOMPARE(simulator.CommandLog().count(u"USER "_s), repeated ? 2 : 1);
        ProbeNextCommand(session, u"/"_s);
    }

    void deadControllerCostsOneWait() {
        ControllerSimulator simulator;
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        simulator.Freeze();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.SetRemoteDirectory(u"/rfa\\web"_s));
        QVERIFY(EnsureRemoteDirectory(session, u"/rfa\\web\\img"_s) != RemoteDirectoryWalk::Made);
        QList<RemoteEntry> entries;
        QVERIFY(!session.ListRemote(QString(), &entries));
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!QFileInfo::exists(simulator.LocalPath(u"/rfa/web/img"_s)));
        simulator.Thaw();
        ProbeNextCommand(session, u"/mmu"_s);
    }

    void namesThatAreNotUtf8GoBackByteForByte() {
        Options options;
        options.nonUtf8Names = true;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        QList<RemoteEntry> entries;
        QVERIFY(session.ListRemote(QString(), &entries));
        const auto latin1 = std::find_if(entries.cbegin(), entries.cend(), [](const auto& entry) {
            return entry.rawName == QByteArray("caf\xe9.set");
        });
        QVERIFY(latin1 != entries.cend());
        QVERIFY(latin1->name.startsWith(u"caf"_s) && latin1->name.endsWith(u".set"_s));
        const QString local = local_.filePath(u"latin1.set"_s);
        QVERIFY2(session.Download(local, latin1->name, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(local), QByteArray("latin-1 name\n"));
        QVERIFY(session.DeleteRemoteFile(latin1->name));
        QVERIFY(QDir(simulator.LocalPath(u"/mmu"_s)).entryList({u"caf*.set"_s}).isEmpty());
    }
};

VANTREL_TEST_GUILESS_MAIN(ControllerReconnectTest)
#include "test_controller_reconnect.moc"
