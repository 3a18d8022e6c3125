// The desktop keyring through a real Secret Service: a private session bus and gnome-keyring
// started by the test, or a skip that says why when they cannot be started here. A password kept
// from the Site page's question is what the login page fills in for that controller.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/DesktopKeyring.h"
#include "base/ToolState.h"
#include "controller/LoginPage.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestDesktopKeyring : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;
    QProcess keyringDaemon_;

    QProcess bus_;

    // A session bus of the test's own; its address goes into the environment before anything in
    // the process opens the session bus. Empty with the reason in skip when it cannot be had.
    QString StartBus(QString* skip) {
        const QString program = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (program.isEmpty()) {
            *skip = u"dbus-daemon is not installed (package dbus)."_s;
            return {};
        }
        bus_.start(program, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (!bus_.waitForStarted(10000)) {
            *skip = u"dbus-daemon did not start."_s;
            return {};
        }
        while (!bus_.canReadLine() && bus_.waitForReadyRead(10000)) {
        }
        const QString address = QString::fromLocal8Bit(bus_.readLine()).trimmed();
        if (address.isEmpty()) {
            *skip = u"dbus-daemon printed no address: "_s +
                    QString::fromLocal8Bit(bus_.readAllStandardError());
        }
        return address;
    }

    static void Stop(QProcess& process) {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
    }

private Q_SLOTS:
    void initTestCase() {
        QString skip;
        const QString address = StartBus(&skip);
        if (address.isEmpty()) {
            QSKIP(qPrintable(skip));
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toLocal8Bit());
        // The keyring's files go to the test's own folder, never the user's.
        const QString runtime = home_.filePath(u"run"_s);
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home_.path());
        environment.insert(u"XDG_DATA_HOME"_s, home_.filePath(u"data"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        const QString daemon = QStandardPaths::findExecutable(u"gnome-keyring-daemon"_s);
        if (daemon.isEmpty()) {
            QSKIP("gnome-keyring-daemon is not installed (package gnome-keyring).");
        }
        keyringDaemon_.setProcessEnvironment(environment);
        keyringDaemon_.start(daemon, {u"--foreground"_s, u"--unlock"_s, u"--components=secrets"_s});
        if (!keyringDaemon_.waitForStarted(10000)) {
            QSKIP("gnome-keyring-daemon did not start.");
        }
        keyringDaemon_.write("test keyring password");
        keyringDaemon_.closeWriteChannel();
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(
            bus.interface()->isServiceRegistered(u"org.freedesktop.secrets"_s).value() ||
                keyringDaemon_.state() == QProcess::NotRunning,
            10000);
        if (keyringDaemon_.state() == QProcess::NotRunning) {
            QSKIP(qPrintable(u"gnome-keyring-daemon ended: "_s +
                             QString::fromLocal8Bit(keyringDaemon_.readAllStandardError())));
        }
    }

    void cleanupTestCase() {
        Stop(keyringDaemon_);
        Stop(bus_);
    }

    void keepsAndFindsAPassword() {
        DesktopKeyring keyring;
        QCOMPARE(keyring.Problem(), QString());
        const QString key = PasswordKeyring::KeyOf(u"127.0.0.1"_s, 2121, u"admin"_s);
        QCOMPARE(keyring.Read(key), std::nullopt);
        QString error;
        QVERIFY2(keyring.Write(key, u"s3cret pass"_s, &error), qPrintable(error));
        QCOMPARE(keyring.Read(key), std::optional<QString>(u"s3cret pass"_s));

        // The login page fills it in when that controller is chosen.
        ToolState tool(u"Vantrel"_s);
        tool.SetStartDirectory(home_.path());
        ScriptedDialogService dialogs;
        FakeProgressFactory progress;
        LoginPage page(PageContext{tool, dialogs, progress}, nullptr);
        page.InitialisePage();
        page.SetKeyring(&keyring);
        page.SetControllers({{u"east"_s, u"127.0.0.1"_s, 2121, u"admin"_s}});
        page.ChooseController(1);
        QCOMPARE(page.findChild<QLineEdit*>(u"passwordEdit"_s)->text(), u"s3cret pass"_s);

        // Kept in the keyring only: no file of the test's folders holds it, but the keyring's
        // own (encrypted) one.
        QDirIterator files(home_.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains("s3cret pass"), qPrintable(file.fileName()));
        }
    }
};

VANTREL_TEST_MAIN(TestDesktopKeyring)
#include "test_desktop_keyring.moc"
