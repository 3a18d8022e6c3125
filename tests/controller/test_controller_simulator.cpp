#include <QTcpSocket>
#include <QTest>

#include "tests/support/ControllerSimulator.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

// A bare control connection: sends one command and returns the final reply line.
class ControlConnection {
public:
    bool Open(quint16 port) {
        socket_.connectToHost(u"127.0.0.1"_s, port);
        return socket_.waitForConnected(5000) && Reply().startsWith(u"220"_s);
    }
    QString Command(const QString& line) {
        socket_.write((line + u"\r\n"_s).toUtf8());
        return Reply();
    }
    QString Reply() {
        QString line;
        do {
            while (!socket_.canReadLine()) {
                if (!socket_.waitForReadyRead(5000)) {
                    return u"(no reply)"_s;
                }
            }
            line = QString::fromUtf8(socket_.readLine()).trimmed();
        } while (line.size() < 4 || line[3] != u' ');  // skips the lines of a multi-line reply
        return line;
    }

private:
    QTcpSocket socket_;
};

}  // namespace

// The simulator as the session relies on it: the default folders, backslash paths, the card
// pseudo-file and the switches that make it misbehave.
class ControllerSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void servesTheControllerLayout() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        QVERIFY(simulator.Port() != 0);
        ControlConnection control;
        QVERIFY(control.Open(simulator.Port()));
        QVERIFY(control.Command(u"USER service"_s).startsWith(u"331"_s));
        QVERIFY(control.Command(u"PASS secret"_s).startsWith(u"230"_s));
        for (const QString& folder : {u"/mmu"_s, u"/rfa\\cfg"_s, u"/rfa\\fw"_s, u"/boot"_s,
                                      u"/rfa\\drv"_s, u"/rfa\\cfg\\def"_s, u"/rfa\\web"_s}) {
            QVERIFY2(control.Command(u"CWD "_s + folder).startsWith(u"250"_s), qPrintable(folder));
        }
        QVERIFY(control.Command(u"TYPE I"_s).startsWith(u"200"_s));
        QCOMPARE(control.Command(u"SIZE /mmu/card"_s), u"213 67108864"_s);
        QVERIFY(QFileInfo(simulator.LocalPath(u"/mmu/card"_s)).size() == 0);
        // The card is neither deleted nor overwritten, as on the controller.
        for (const QString& command :
             {u"DELE /mmu/card"_s, u"STOR /mmu\\card"_s, u"APPE /mmu/card"_s}) {
            QVERIFY2(control.Command(command).startsWith(u"550"_s), qPrintable(command));
        }
        QVERIFY(QFileInfo::exists(simulator.LocalPath(u"/mmu/card"_s)));
        QVERIFY(control.Command(u"MKD /rfa\\web\\img"_s).startsWith(u"257"_s));
        QVERIFY(QFileInfo(simulator.LocalPath(u"/rfa/web/img"_s)).isDir());
        QVERIFY(simulator.CommandLog().contains(u"PASS ******"_s));
        QVERIFY(!simulator.CommandLog().contains(u"secret"_s));

        simulator.Stop();
        QVERIFY(!simulator.IsRunning());
        QTcpSocket probe;
        probe.connectToHost(u"127.0.0.1"_s, simulator.Port());
        QVERIFY(!probe.waitForConnected(2000));
    }

    void switchesRefuse() {
        ControllerSimulator::Options options;
        options.refuseMkd = true;
        options.refuseDele = true;
        options.closeAfter = 4;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControlConnection control;
        QVERIFY(control.Open(simulator.Port()));
        QVERIFY(control.Command(u"USER service"_s).startsWith(u"331"_s));
        QVERIFY(control.Command(u"PASS secret"_s).startsWith(u"230"_s));
        QVERIFY(control.Command(u"MKD /mmu\\x"_s).startsWith(u"550"_s));
        QCOMPARE(control.Command(u"NOOP"_s), u"(no reply)"_s);  // the fourth command: closed

        ControlConnection again;  // the close happens once
        QVERIFY(again.Open(simulator.Port()));
        QVERIFY(again.Command(u"USER service"_s).startsWith(u"331"_s));
        QVERIFY(again.Command(u"PASS secret"_s).startsWith(u"230"_s));
        QVERIFY(again.Command(u"DELE /mmu/card"_s).startsWith(u"550"_s));
    }

    void refusesEveryLogin() {
        ControllerSimulator::Options options;
        options.refuseLogin = true;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        ControlConnection control;
        QVERIFY(control.Open(simulator.Port()));
        QVERIFY(control.Command(u"USER service"_s).startsWith(u"331"_s));
        QVERIFY(control.Command(u"PASS secret"_s).startsWith(u"530"_s));
    }
};

VANTREL_TEST_GUILESS_MAIN(ControllerSimulatorTest)
#include "test_controller_simulator.moc"
