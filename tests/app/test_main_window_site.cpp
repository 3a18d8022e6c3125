// The main window with an installation on the Site page: the login page's controller list and
// the indicator, and an exit while a run on the controllers goes on.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "base/PrivateProfile.h"
#include "controller/LoginPage.h"
#include "sitepage/SitePage.h"
#include "sitepage/SiteViewModel.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using Answer = DialogService::Answer;

class TestMainWindowSite : public QObject {
    Q_OBJECT

private:
    QTemporaryDir startDir_;
    ToolApp tool_{u"Vantrel"_s};
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;
    PageContext Context() { return PageContext{tool_, dialogs_, progress_}; }

    template <typename T>
    static T* Find(const QWidget& parent, const QString& name) {
        T* child = parent.findChild<T*>(name);
        if (child == nullptr) {
            qFatal("no child %s", qPrintable(name));
        }
        return child;
    }

private Q_SLOTS:
    void init() {
        dialogs_.Clear();
        QFile::remove(startDir_.filePath(u"Vantrel.ini"_s));
        tool_.SetStartDirectory(startDir_.path());
        QVERIFY(QDir().mkpath(startDir_.filePath(u"target"_s)));
        QVERIFY(PrivateProfile::WriteString(tool_.SettingsFilePath(), u"Upload"_s, u"Dir"_s,
                                            startDir_.filePath(u"target"_s)));
    }

    // The installation the settings file names is opened on the Site page; its controllers are
    // the login page's list, and a login to one of them names it in the indicator.
    void indicatorNamesTheSiteControllerConnectedTo() {
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        const QString site = startDir_.filePath(u"site"_s);
        QVERIFY(QDir().mkpath(site));
        QVERIFY(PrivateProfile::WriteStrings(
            site + u"/site.ini"_s, {{u"Site"_s, u"Name"_s, u"Airport"_s},
                                    {u"East wing"_s, u"Address"_s, simulator.Host()},
                                    {u"East wing"_s, u"Port"_s, QString::number(simulator.Port())},
                                    {u"East wing"_s, u"User"_s, simulator.User()}}));
        QVERIFY(
            PrivateProfile::WriteString(tool_.SettingsFilePath(), u"Site"_s, u"Folder"_s, site));
        {
            MainWindow window(Context());
            auto* combo = Find<QComboBox>(window, u"controllerCombo"_s);
            QCOMPARE(combo->count(), 2);
            window.GetLoginPage()->ChooseController(1);
            Find<QLineEdit>(window, u"passwordEdit"_s)->setText(simulator.Password());
            Find<QPushButton>(window, u"connectButton"_s)->click();
            const QString connected = u"Connected to East wing (127.0.0.1) as service"_s;
            QCOMPARE(Find<QLabel>(window, u"connectionIndicator"_s)->text(), connected);
            QCOMPARE(Find<QLabel>(window, u"connectionIndicator"_s)->accessibleName(), connected);
            Find<QPushButton>(window, u"disconnectButton"_s)->click();
            QCOMPARE(Find<QLabel>(window, u"connectionIndicator"_s)->text(), u"Not connected"_s);
        }
        // The window kept the folder for the next start.
        QCOMPARE(PrivateProfile::ReadString(tool_.SettingsFilePath(), u"Site"_s, u"Folder"_s, {},
                                            PrivateProfile::kUnlimitedBuffer),
                 site);
    }

    // Exit while the Site page runs: the run is cancelled and recorded before the window goes.
    void exitDuringASiteRunWaitsForItsRecord() {
        ControllerSimulator::Options stalled;
        stalled.stallAfter = 1000;
        ControllerSimulator simulator(stalled);
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        QFile big(simulator.LocalPath(u"/rfa/cfg/big.cfg"_s));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write(QByteArray(100000, 'x')) == 100000);
        big.close();
        QTemporaryDir site;
        QVERIFY(
            PrivateProfile::WriteStrings(site.filePath(u"site.ini"_s),
                                         {{u"Site"_s, u"Name"_s, u"Airport"_s},
                                          {u"east"_s, u"Address"_s, simulator.Host()},
                                          {u"east"_s, u"Port"_s, QString::number(simulator.Port())},
                                          {u"east"_s, u"User"_s, simulator.User()}}));
        MainWindow window(Context());
        window.show();
        SitePage* page = window.GetSitePage();
        QVERIFY(page->OpenFolder(site.path()));
        page->SetPasswordAsker([&](const PasswordGroup&, const QString&) {
            return std::optional<SitePage::PasswordAnswer>({simulator.Password(), false});
        });
        page->BackUpAll();
        QTRY_COMPARE_WITH_TIMEOUT(
            page->View().Controllers().data(page->View().Controllers().index(0, 6)).toString(),
            u"reading"_s, 20000);
        dialogs_.QueueAnswer(Answer::Yes);
        QVERIFY(!window.close());
        QCOMPARE(dialogs_.Texts(),
                 QStringList{u"The Site page is still working on the controllers. Cancel every "
                             u"controller and exit once the run is recorded?"_s});
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
        QVERIFY(page->View().Report().contains(u"cancelled"_s));
        QCOMPARE(dialogs_.Texts().size(), 1);  // no second question
    }
};

VANTREL_TEST_MAIN(TestMainWindowSite)
#include "test_main_window_site.moc"
