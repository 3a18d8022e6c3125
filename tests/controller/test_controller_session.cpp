#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTest>

#include "controller/ControllerSession.h"
#include "controller/RemoteFinder.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool ConnectTo(ControllerSession& session, const ControllerSimulator& simulator) {
    session.SetTimeouts({2000ms, 3s});
    return session.Connect(u"test"_s, simulator.Host(), simulator.User(), simulator.Password(),
                           simulator.Port());
}

// Names a finder yields for pattern, "/"-joined, with "d:" before directories.
QString Found(ControllerSession& session, const QString& pattern) {
    std::unique_ptr<RemoteFinder> finder = session.NewRemoteFinder();
    QStringList names;
    if (finder->FindFirst(pattern)) {
        do {
            names << (finder->IsDirectory() ? u"d:"_s : QString()) + finder->FileName();
        } while (finder->FindNext());
    }
    finder->Close();
    return names.join(u'/');
}

}  // namespace

// The session's connection, directory and listing operations against the simulator on loopback.
class ControllerSessionTest : public QObject {
    Q_OBJECT

private slots:
    void connectsAndDisconnects() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(!session.IsConnected());
        QVERIFY(session.NewRemoteFinder() == nullptr);
        QCOMPARE(session.RemoteFileSize(u"/mmu/card"_s), 0u);
        QVERIFY2(ConnectTo(session, simulator), qPrintable(session.LastError()));
        QVERIFY(session.IsConnected());
        QCOMPARE(session.Host(), simulator.Host());
        QCOMPARE(session.Port(), simulator.Port());
        QCOMPARE(session.GetRemoteDirectory(), u"/"_s);
        QCOMPARE(session.RemoteFileSize(u"/mmu/card"_s), 64u * 1024 * 1024);
        QVERIFY(session.LastError().isEmpty());

        session.Disconnect();
        QVERIFY(!session.IsConnected());
        QVERIFY(session.Host().isEmpty());
        QVERIFY(session.User().isEmpty());
        QCOMPARE(session.Port(), quint16(21));
        QCOMPARE(session.GetRemoteDirectory(), QString());
        QTRY_VERIFY(simulator.CommandLog().contains(u"QUIT"_s));
        // A fresh connection after Disconnect.
        QVERIFY(ConnectTo(session, simulator));
        QCOMPARE(session.RemoteFileSize(u"/mmu/card"_s), 64u * 1024 * 1024);
        QVERIFY(!simulator.CommandLog().contains(simulator.Password()));
    }

    void refusedLoginSaysSo() {
        ControllerSimulator::Options options;
        options.refuseLogin = true;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(!ConnectTo(session, simulator));
        QVERIFY(!session.IsConnected());
        QVERIFY2(session.LastError().contains(u"refused the user name or the password"_s),
                 qPrintable(session.LastError()));
        QVERIFY2(session.LastError().contains(u"530"_s), qPrintable(session.LastError()));
        QVERIFY(session.LastError().contains(simulator.Host()));
        QVERIFY(session.Host().isEmpty());
        QVERIFY(session.LastError().size() <= 254);
        session.Disconnect();
        QVERIFY(!session.LastError().isEmpty());  // kept across Disconnect
    }

    void closedPortFailsQuickly() {
        QTcpServer placeholder;  // a port that surely has no server once closed
        QVERIFY(placeholder.listen(QHostAddress::LocalHost));
        const quint16 port = placeholder.serverPort();
        placeholder.close();
        ControllerSession session;
        session.SetTimeouts({1000ms, 1s});
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.Connect(u"test"_s, u"127.0.0.1"_s, u"u"_s, u"p"_s, port));
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY2(session.LastError().contains(u"cannot be reached"_s),
                 qPrintable(session.LastError()));
        QVERIFY(session.LastError().contains(QString::number(port)));
    }

    void ipv6AddressIsRefusedClearly() {
        ControllerSession session;
        QVERIFY(!session.Connect(u"test"_s, u"::1"_s, u"u"_s, u"p"_s, 21));
        QCOMPARE(session.LastError(),
                 u"Connecting to ::1 port 21 failed: only IPv4 controllers are supported."_s);
    }

    // The control connection itself never sends a line break or a zero byte, whatever it is given.
    void aCommandWithALineBreakIsNeverSent_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("CR") << QByteArray("DELE a\rDELE b");
        QTest::newRow("LF") << QByteArray("DELE a\nDELE b");
        QTest::newRow("NUL") << QByteArray("DELE a\0DELE b", 14);
    }

    void aCommandWithALineBreakIsNeverSent() {
        QFETCH(QByteArray, command);
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        FtpClient client;
        QVERIFY(client
                    .Open({simulator.Host(), simulator.Port(), simulator.User().toUtf8(),
                           simulator.Password().toUtf8()})
                    .Ok());
        QCOMPARE(client.Command(command).failure, FtpClient::Failure::BadCommand);
        QVERIFY(client.Command("NOOP").Ok());
        QVERIFY(!simulator.CommandLog().contains(u"DELE"_s));
    }

    void silentControllerTimesOut() {
        // Accepts the connection but never greets.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        ControllerSession session;
        session.SetTimeouts({1500ms, 1s});
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.Connect(u"test"_s, u"127.0.0.1"_s, u"u"_s, u"p"_s, silent.serverPort()));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(session.LastError().contains(u"did not answer in time"_s),
                 qPrintable(session.LastError()));
    }

    void changesCreatesAndDeletes() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        WriteFile(simulator.LocalPath(u"/rfa/cfg/old.cfg"_s), "x");
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));

        QVERIFY(session.SetRemoteDirectory(u"/rfa\\cfg"_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/rfa/cfg"_s);
        QVERIFY(!session.SetRemoteDirectory(u"/rfa\\nothing"_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/rfa/cfg"_s);
        QVERIFY(session.CreateRemoteDirectory(u"new"_s));  // relative to /rfa/cfg
        QVERIFY(QFileInfo(simulator.LocalPath(u"/rfa/cfg/new"_s)).isDir());
        QVERIFY(!session.CreateRemoteDirectory(u"new"_s));  // exists
        QVERIFY(session.CreateRemoteDirectory(u"/rfa\\web\\img"_s));
        QVERIFY(QFileInfo(simulator.LocalPath(u"/rfa/web/img"_s)).isDir());
        QVERIFY(session.DeleteRemoteFile(u"old.cfg"_s));
        QVERIFY(!QFile::exists(simulator.LocalPath(u"/rfa/cfg/old.cfg"_s)));
        QVERIFY(!session.DeleteRemoteFile(u"old.cfg"_s));
        QVERIFY(!session.DeleteRemoteFile(u"bad\r\nDELE x"_s));  // no command smuggled in
        QVERIFY(session.SetRemoteDirectory(u"new"_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/rfa/cfg/new"_s);
        QVERIFY(session.SetRemoteDirectory(u".."_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/rfa/cfg"_s);
        QVERIFY(session.LastError().isEmpty());  // none of these touches it
    }

    void namesEndingInABlankKeepIt() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        WriteFile(simulator.LocalPath(u"/mmu/trail "_s), "x");
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        QVERIFY(session.CreateRemoteDirectory(u"folder "_s));
        QVERIFY(QFileInfo(simulator.LocalPath(u"/mmu/folder "_s)).isDir());
        QVERIFY(session.DeleteRemoteFile(u"trail "_s));
        QVERIFY(!QFile::exists(simulator.LocalPath(u"/mmu/trail "_s)));
    }

    void refusalsLeaveTheConnectionUsable() {
        ControllerSimulator::Options options;
        options.refuseMkd = true;
        options.refuseDele = true;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QVERIFY(!session.CreateRemoteDirectory(u"/mmu\\x"_s));
        QVERIFY(!session.DeleteRemoteFile(u"/mmu/card"_s));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/mmu"_s);
        QVERIFY(session.IsConnected());
    }

    void findsInUnixAndDosListings_data() {
        QTest::addColumn<bool>("dos");
        QTest::newRow("unix") << false;
        QTest::newRow("dos") << true;
    }

    void findsInUnixAndDosListings() {
        QFETCH(bool, dos);
        ControllerSimulator::Options options;
        options.dosListing = dos;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        WriteFile(simulator.LocalPath(u"/mmu/a1.set"_s), QByteArray(100, 'a'));
        WriteFile(simulator.LocalPath(u"/mmu/a2.set"_s), QByteArray(300, 'b'));
        WriteFile(simulator.LocalPath(u"/mmu/my set.nfo"_s), QByteArray(7, 'c'));
        QDir().mkpath(simulator.LocalPath(u"/mmu/sub dir"_s));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));

        QCOMPARE(Found(session, u"*"_s), u"a1.set/a2.set/card/my set.nfo/d:sub dir"_s);
        QCOMPARE(Found(session, u"*.SET"_s), u"a1.set/a2.set"_s);
        QCOMPARE(Found(session, u"my set.nfo"_s), u"my set.nfo"_s);
        QCOMPARE(Found(session, u"none"_s), QString());
        QCOMPARE(session.RemoteFileSize(u"a*.set"_s), 300u);  // the last match
        QCOMPARE(session.RemoteFileSize(u"a1.set"_s), 100u);
        QCOMPARE(session.RemoteFileSize(u"card"_s), 64u * 1024 * 1024);
        QCOMPARE(session.RemoteFileSize(u"missing"_s), 0u);

        std::unique_ptr<RemoteFinder> finder = session.NewRemoteFinder();
        QVERIFY(finder->FindFirst(u"/rfa\\cfg\\*"_s));
        QCOMPARE(finder->FileName(), u"def"_s);
        QCOMPARE(finder->FilePath(), u"/rfa\\cfg\\def"_s);
        QVERIFY(finder->IsDirectory());
        QVERIFY(!finder->FindNext());
        QVERIFY(finder->FindFirst(u"my set.nfo"_s));
        QCOMPARE(finder->FilePath(), u"/mmu/my set.nfo"_s);
        QCOMPARE(finder->Size(), 7u);
        finder->Close();
        QVERIFY(!finder->FindFirst(u"/nothing\\*"_s));
        QCOMPARE(session.GetRemoteDirectory(), u"/mmu"_s);  // a search does not move
    }

    void onlyStarAndQuestionMarkAreWildcards() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        WriteFile(simulator.LocalPath(u"/rfa/fw/zone[1].uim"_s), QByteArray(11, 'a'));
        WriteFile(simulator.LocalPath(u"/rfa/fw/zone1.uim"_s), QByteArray(22, 'b'));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\fw"_s));
        QCOMPARE(session.RemoteFileSize(u"zone[1].uim"_s), 11u);
        QCOMPARE(session.RemoteFileSize(u"ZONE?.UIM"_s), 22u);
        QCOMPARE(session.RemoteFileSize(u"/rfa\\fw\\zone[1].uim"_s), 11u);
        // The controller lists a folder whose name holds brackets.
        WriteFile(simulator.LocalPath(u"/rfa/fw/old[2]/a.uim"_s), QByteArray(33, 'c'));
        QCOMPARE(session.RemoteFileSize(u"/rfa\\fw\\old[2]\\*.uim"_s), 33u);
    }

    void cardSizeKeepsLow32Bits() {
        ControllerSimulator::Options options;
        options.cardSize = 0x1'0000'1000LL;  // 4 GiB + 4 KiB
        options.cardPath = u"/mmu/flash"_s;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QCOMPARE(session.RemoteFileSize(u"/mmu/flash"_s), 0x1000u);
        QCOMPARE(session.RemoteFileSize(u"/mmu/card"_s), 0u);
    }

    void recoversFromADroppedControlConnection() {
        ControllerSimulator::Options options;
        // Connect sends USER PASS PWD, SetRemoteDirectory CWD PWD: the 6th is the next.
        options.closeAfter = 6;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\cfg"_s));
        // The controller hangs up on the next command; the one after it reconnects and is back
        // in /rfa/cfg before it runs.
        QCOMPARE(session.GetRemoteDirectory(), QString());
        QVERIFY(session.IsConnected());
        QCOMPARE(session.GetRemoteDirectory(), u"/rfa/cfg"_s);
        QVERIFY(session.CreateRemoteDirectory(u"after"_s));
        QVERIFY(QFileInfo(simulator.LocalPath(u"/rfa/cfg/after"_s)).isDir());
    }

    void unreachableControllerFailsEachOperationInTime() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        QVERIFY(ConnectTo(session, simulator));
        session.SetTimeouts({1000ms, 1s});
        simulator.Stop();  // the controller goes away
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.SetRemoteDirectory(u"/mmu"_s));
        QCOMPARE(session.GetRemoteDirectory(), QString());
        QCOMPARE(session.RemoteFileSize(u"/mmu/card"_s), 0u);
        QVERIFY(session.IsConnected());  // until Disconnect
        QVERIFY(timer.elapsed() < 6000);
    }

    void slowRepliesTimeOut() {
        ControllerSimulator::Options options;
        options.replyDelay = 2.5;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControllerSession session;
        session.SetTimeouts({1500ms, 1s});
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.Connect(u"test"_s, simulator.Host(), simulator.User(),
                                 simulator.Password(), simulator.Port()));
        QVERIFY(timer.elapsed() < 4000);
        QVERIFY2(session.LastError().contains(u"did not answer in time"_s),
                 qPrintable(session.LastError()));
    }
};

VANTREL_TEST_GUILESS_MAIN(ControllerSessionTest)
#include "test_controller_session.moc"
