#include <QElapsedTimer>
#include <QTest>
#include <array>
#include <cerrno>

#include "ftp/NetWait.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The wait on sockets: a connection that breaks ends it at once, even when nothing was asked of
// that socket, with the socket's error.
class NetWaitTest : public QObject {
    Q_OBJECT

private slots:
    void aResetEndsTheWaitWithTheSocketsError() {
        NetSocket listener;
        QVERIFY(listener.Listen(u"127.0.0.1"_s));
        NetSocket client;
        QVERIFY(client.StartConnect(u"127.0.0.1"_s, listener.LocalPort()));
        std::array<NetSocket::Wait, 1> connecting{{{&client, false, true}}};
        QCOMPARE(WaitForSockets(connecting, QDeadlineTimer(2s), {}), WaitResult::Ready);
        QCOMPARE(client.ConnectResult(), 0);
        NetSocket server = listener.Accept();
        QVERIFY(server.IsOpen());
        QCOMPARE(server.PeerAddress(), u"127.0.0.1"_s);

        server.Reset();  // the peer sees a reset
        std::array<NetSocket::Wait, 1> idle{{{&client, false, false}}};
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(WaitForSockets(idle, QDeadlineTimer(3s), {}), WaitResult::Ready);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(idle[0].failed);
        QCOMPARE(client.ErrorCode(), ECONNRESET);
    }
};

VANTREL_TEST_GUILESS_MAIN(NetWaitTest)
#include "test_net_wait.moc"
