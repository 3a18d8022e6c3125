// The port the login reads from the settings file.

#include <QTemporaryDir>
#include <QTest>

#include "base/PrivateProfile.h"
#include "controller/LoginPort.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestLoginPort : public QObject {
    Q_OBJECT

private slots:
    void readsAndChecksThePort_data() {
        QTest::addColumn<QString>("value");  // null: no "Port" key
        QTest::addColumn<int>("port");       // 0: refused
        QTest::newRow("missing") << QString() << 21;
        QTest::newRow("forwarded") << u"2121"_s << 2121;
        QTest::newRow("highest") << u"65535"_s << 65535;
        QTest::newRow("zero") << u"0"_s << 0;
        QTest::newRow("too high") << u"70000"_s << 0;
        QTest::newRow("negative") << u"-1"_s << 0;
    }
    void readsAndChecksThePort() {
        QFETCH(QString, value);
        QFETCH(int, port);
        QTemporaryDir dir;
        const QString settings = dir.filePath(u"Vantrel.ini"_s);
        QVERIFY(PrivateProfile::WriteString(settings, u"Login"_s, u"User Name"_s, u"admin"_s));
        if (!value.isNull()) {
            QVERIFY(PrivateProfile::WriteString(settings, u"Login"_s, u"Port"_s, value));
        }
        QString error;
        const std::optional<quint16> read = LoginPort::Read(settings, &error);
        if (port == 0) {
            QVERIFY(!read.has_value());
            QCOMPARE(error,
                     u"The port %1 in the settings file (section \"Login\", key \"Port\") "
                     u"is not a port number from 1 to 65535."_s.arg(value));
        } else {
            QCOMPARE(read, std::optional<quint16>(quint16(port)));
            QVERIFY(error.isEmpty());
        }
    }
};

VANTREL_TEST_GUILESS_MAIN(TestLoginPort)
#include "test_login_port.moc"
