#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "base/PrivateProfile.h"
#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "controller/IpAddressEdit.h"
#include "controller/LoginPage.h"
#include "controller/PasswordKeyring.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// One password kept, for one key.
class OneKeyring : public PasswordKeyring {
public:
    QString key;
    QString password;
    QString Problem() override { return {}; }
    std::optional<QString> Read(const QString& wanted) override {
        return wanted == key ? std::optional<QString>(password) : std::nullopt;
    }
    bool Write(const QString&, const QString&, QString*) override { return false; }
};

const QString kBlank =
    u"One or more fields left blank. Please provide all requested information."_s;

}  // namespace

// The login page with scripted dialogs, a settings file in a temporary folder and the simulator.
class LoginPageTest : public QObject {
    Q_OBJECT

private:
    // One page as the main window makes it.
    struct Fixture {
        QTemporaryDir folder;
        ToolState app{u"Vantrel"_s};
        ScriptedDialogService dialogs;
        FakeProgressFactory progress;
        ControllerSession session;
        std::unique_ptr<LoginPage> page;

        Fixture() {
            app.SetStartDirectory(folder.path());
            session.SetTimeouts({2000ms, 3s});
        }
        QString Settings() const { return app.SettingsFilePath(); }
        void Write(const QString& key, const QString& value) {
            QVERIFY(PrivateProfile::WriteString(Settings(), u"Login"_s, key, value));
        }
        void WriteSimulatorSettings(const ControllerSimulator& simulator) {
            Write(u"IP0"_s, u"127"_s);
            Write(u"IP1"_s, u"0"_s);
            Write(u"IP2"_s, u"0"_s);
            Write(u"IP3"_s, u"1"_s);
            Write(u"User Name"_s, simulator.User());
            Write(u"Port"_s, QString::number(simulator.Port()));
        }
        LoginPage& Make(bool withSession = true) {
            page = std::make_unique<LoginPage>(PageContext{app, dialogs, progress}, nullptr);
            if (withSession) {
                page->SetSession(&session);
            }
            page->InitialisePage();
            return *page;
        }
        template <typename T>
        T* Find(const QString& name) const {
            return page->findChild<T*>(name);
        }
        QLineEdit* Field(int index) const {
            return Find<QLineEdit>(u"addressField%1"_s.arg(index));
        }
        QLineEdit* User() const { return Find<QLineEdit>(u"userNameEdit"_s); }
        QLineEdit* Password() const { return Find<QLineEdit>(u"passwordEdit"_s); }
        QPushButton* ConnectButton() const { return Find<QPushButton>(u"connectButton"_s); }
        QPushButton* DisconnectButton() const { return Find<QPushButton>(u"disconnectButton"_s); }
        QString SettingsText() const {
            QFile file(Settings());
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        }
    };

private slots:
    void startsFromTheSettings() {
        Fixture fixture;
        fixture.Write(u"IP0"_s, u"300"_s);  // only the low 8 bits count
        fixture.Write(u"IP1"_s, u"168"_s);
        fixture.Write(u"IP3"_s, u"5"_s);
        fixture.Write(u"User Name"_s, u"admin"_s);
        LoginPage& page = fixture.Make();
        QCOMPARE(page.AddressText(), u"44.168.0.5"_s);
        QCOMPARE(fixture.User()->text(), u"admin"_s);
        QVERIFY(fixture.Password()->text().isEmpty());
        QCOMPARE(fixture.Password()->echoMode(), QLineEdit::Password);
        QCOMPARE(fixture.User()->maxLength(), 32);
        QCOMPARE(fixture.Password()->maxLength(), 32);
        QVERIFY(fixture.ConnectButton()->isEnabled());
        QVERIFY(!fixture.DisconnectButton()->isEnabled());
    }

    void refusesBlankFields() {
        Fixture fixture;
        LoginPage& page = fixture.Make();
        QCOMPARE(page.AddressText(), u"0.0.0.0"_s);  // no settings file
        fixture.Password()->setText(u"pw"_s);
        fixture.ConnectButton()->click();  // no user name
        fixture.User()->setText(u"admin"_s);
        fixture.Password()->clear();
        fixture.ConnectButton()->click();  // no password
        fixture.Password()->setText(u"pw"_s);
        fixture.Field(2)->clear();
        fixture.ConnectButton()->click();  // an address field blank
        QCOMPARE(fixture.dialogs.Texts(), (QStringList{kBlank, kBlank, kBlank}));
        for (const auto& message : fixture.dialogs.Messages()) {
            QCOMPARE(message.buttons, DialogService::Buttons::Ok);
            QCOMPARE(message.icon, DialogService::Icon::None);
        }
        QVERIFY(!fixture.session.IsConnected());
        QVERIFY(fixture.ConnectButton()->isEnabled());
    }

    void withoutSessionSaysSo() {
        Fixture fixture;
        fixture.Make(false);
        fixture.User()->setText(u"admin"_s);
        fixture.Password()->setText(u"pw"_s);
        fixture.ConnectButton()->click();
        QCOMPARE(fixture.dialogs.Texts(), QStringList{u"No connection present."_s});
    }

    void connectsReadsTheCardAndDisconnects() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        Fixture fixture;
        fixture.WriteSimulatorSettings(simulator);
        fixture.Make();
        fixture.Password()->setText(simulator.Password());
        // Enter in a field presses the default button.
        fixture.page->show();
        fixture.Password()->setFocus();
        QTest::keyClick(fixture.Password(), Qt::Key_Return);
        QCOMPARE(fixture.dialogs.Texts(),
                 QStringList{u"Status : Connected to 127.0.0.1, Username : service"_s});
        QVERIFY(fixture.session.IsConnected());
        QCOMPARE(fixture.app.FlashCardSize(), 64u * 1024 * 1024);
        QVERIFY(!fixture.ConnectButton()->isEnabled());
        QVERIFY(fixture.DisconnectButton()->isEnabled());

        fixture.DisconnectButton()->click();
        QVERIFY(!fixture.session.IsConnected());
        QCOMPARE(fixture.app.FlashCardSize(), 0u);
        QVERIFY(fixture.ConnectButton()->isEnabled());
        QVERIFY(!fixture.DisconnectButton()->isEnabled());
        QCOMPARE(fixture.dialogs.Texts().size(), 1);  // Disconnect says nothing

        // Another card file, read at the next connection.
        QFile other(simulator.LocalPath(u"/mmu/other"_s));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(QByteArray(1234, 'x'));
        other.close();
        fixture.Write(u"CardFile"_s, u"/mmu/other"_s);
        fixture.ConnectButton()->click();
        QVERIFY(fixture.session.IsConnected());
        QCOMPARE(fixture.app.FlashCardSize(), 1234u);
    }

    void refusedLoginShowsTheReason() {
        ControllerSimulator::Options options;
        options.refuseLogin = true;
        ControllerSimulator simulator(options);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        Fixture fixture;
        fixture.WriteSimulatorSettings(simulator);
        fixture.Make();
        fixture.Password()->setText(u"wrong"_s);
        fixture.ConnectButton()->click();
        QCOMPARE(fixture.dialogs.Texts().size(), 1);
        QCOMPARE(fixture.dialogs.Texts().first(), fixture.session.LastError());
        QVERIFY(fixture.session.LastError().contains(u"refused"_s));
        QVERIFY(!fixture.session.IsConnected());
        QCOMPARE(fixture.app.FlashCardSize(), 0u);
        QVERIFY(fixture.ConnectButton()->isEnabled());
        QVERIFY(!fixture.DisconnectButton()->isEnabled());
        QCOMPARE(fixture.Password()->text(), u"wrong"_s);  // the fields keep their text
    }

    void badPortIsReported() {
        Fixture fixture;
        fixture.Write(u"IP0"_s, u"127"_s);
        fixture.Write(u"Port"_s, u"70000"_s);
        fixture.Make();
        fixture.User()->setText(u"admin"_s);
        fixture.Password()->setText(u"pw"_s);
        fixture.ConnectButton()->click();
        QCOMPARE(fixture.dialogs.Texts().size(), 1);
        QVERIFY(fixture.dialogs.Texts().first().contains(u"70000"_s));
        QVERIFY(!fixture.session.IsConnected());
    }

    // The address with no settings file reaches this computer: refused before any connection.
    void refusesAnAddressOfNoControllerAndKeepsALongUserName() {
        Fixture fixture;
        const QString longName = QString(40, u'u');
        fixture.Write(u"User Name"_s, longName);
        fixture.Make();
        QCOMPARE(fixture.User()->text(), longName.left(32));
        fixture.Password()->setText(u"pw"_s);
        fixture.ConnectButton()->click();
        QCOMPARE(fixture.dialogs.Texts(),
                 QStringList{u"The address 0.0.0.0 is an address of this computer, not of a "
                             u"controller. Please enter the address of the Network Controller."_s});
        QVERIFY(!fixture.session.IsConnected());
        QCOMPARE(fixture.page->SaveSettings(), QString());
        QCOMPARE(PrivateProfile::ReadString(fixture.Settings(), u"Login"_s, u"User Name"_s, {}),
                 longName);
    }

    void savesTheFieldsAtExitButNeverThePassword() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        Fixture fixture;
        fixture.WriteSimulatorSettings(simulator);
        fixture.Make();
        fixture.Password()->setText(simulator.Password());
        fixture.ConnectButton()->click();
        QVERIFY(fixture.session.IsConnected());
        // Changed after connecting and never used: saved all the same.
        fixture.page->findChild<IpAddressEdit*>(u"addressControl"_s)->SetAddress({10, 1, 2, 3});
        fixture.User()->setText(u"someone else"_s);
        QCOMPARE(fixture.page->SaveSettings(), QString());
        fixture.page.reset();
        QVERIFY(!fixture.session.IsConnected());  // the page disconnects at exit
        const QString settings = fixture.Settings();
        QCOMPARE(PrivateProfile::ReadString(settings, u"Login"_s, u"IP0"_s, {}), u"10"_s);
        QCOMPARE(PrivateProfile::ReadString(settings, u"Login"_s, u"IP3"_s, {}), u"3"_s);
        QCOMPARE(PrivateProfile::ReadString(settings, u"Login"_s, u"User Name"_s, {}),
                 u"someone else"_s);
        QCOMPARE(PrivateProfile::ReadInt(settings, u"Login"_s, u"Port"_s, 0),
                 int(simulator.Port()));
        QVERIFY(!fixture.SettingsText().contains(simulator.Password()));
        QVERIFY(fixture.SettingsText().indexOf(u"Password"_s, 0, Qt::CaseInsensitive) < 0);
        QVERIFY(PrivateProfile::ReadString(settings, u"Login"_s, u"CardFile"_s, {}).isEmpty());
    }

    void addressControlMovesOnDot() {
        IpAddressEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        edit.FieldEdit(0)->setFocus();
        auto type = [](const QString& keys) {
            for (QChar key : keys) {
                QTest::keyClicks(QApplication::focusWidget(), QString(key));
            }
        };
        type(u"192.168.1.20"_s);  // "192" moves on by itself; the dot after it is passed over
        QCOMPARE(edit.AddressText(), u"192.168.1.20"_s);
        QCOMPARE(edit.FilledFieldCount(), 4);
        QCOMPARE(QApplication::focusWidget(), edit.FieldEdit(3));
        edit.FieldEdit(3)->clear();
        type(u"999"_s);  // refused digit by digit
        QCOMPARE(edit.Field(3), 99);
        edit.FieldEdit(1)->clear();
        QCOMPARE(edit.FilledFieldCount(), 3);
        QCOMPARE(edit.Field(1), -1);
        QCOMPARE(edit.AddressText().section(u'.', 1, 1), u"0"_s);
    }
};

VANTREL_TEST_MAIN(LoginPageTest)
#include "test_login_page.moc"
