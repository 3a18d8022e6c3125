// The whole start and exit of the program, in this process: the settings file lands in the
// directory the program was started from.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "app/ToolStartup.h"
#include "base/PrivateProfile.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestToolStartup : public QObject {
    Q_OBJECT

private:
    QTemporaryDir runtimeDir_;
    QString original_ = QDir::currentPath();

    // Runs the program in folder (or in workFolder, when given, as a start from the menu); once its
    // window is up, act runs and then Exit is answered Yes.
    int RunIn(const QString& folder, ScriptedDialogService& dialogs,
              const std::function<void(MainWindow&)>& act, const QString& workFolder = QString()) {
        if (!QDir::setCurrent(folder)) {
            return -1;
        }
        ToolApp tool(u"Vantrel"_s);
        FakeProgressFactory progress;
        QTimer::singleShot(0, this, [&] {
            MainWindow* window = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                window = window != nullptr ? window : qobject_cast<MainWindow*>(widget);
            }
            QVERIFY(window != nullptr);
            act(*window);
            dialogs.QueueAnswer(DialogService::Answer::Yes);
            window->findChild<QPushButton*>(u"exitButton"_s)->click();
        });
        const int status = RunTool(tool, dialogs, progress, workFolder);
        QDir::setCurrent(original_);
        return status;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFile::setPermissions(runtimeDir_.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", runtimeDir_.path().toLocal8Bit());
    }

    void exitWritesTheSettingsFileWhereTheProgramStarted() {
        QTemporaryDir empty;
        ScriptedDialogService dialogs;
        const int status = RunIn(empty.path(), dialogs, [](MainWindow& window) {
            auto* user = window.findChild<QLineEdit*>(u"userNameEdit"_s);
            QVERIFY(user != nullptr);
            user->setText(u"engineer"_s);
            window.findChild<QLineEdit*>(u"passwordEdit"_s)->setText(u"secret"_s);
        });
        QCOMPARE(status, 0);
        QCOMPARE(dialogs.Texts().first(), u"Are you sure you want to exit ?"_s);
        const QString settings = empty.filePath(u"Vantrel.ini"_s);
        QVERIFY(QFile::exists(settings));
        QCOMPARE(PrivateProfile::ReadString(settings, u"Login"_s, u"User Name"_s, QString()),
                 u"engineer"_s);
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("secret"));
    }

    void eachStartDirectoryHasItsOwnSettings() {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(PrivateProfile::WriteString(first.filePath(u"Vantrel.ini"_s), u"Login"_s,
                                            u"User Name"_s, u"alpha"_s));
        QVERIFY(PrivateProfile::WriteString(second.filePath(u"Vantrel.ini"_s), u"Login"_s,
                                            u"User Name"_s, u"beta"_s));
        for (const auto& [folder, expected] :
             {std::pair{first.path(), u"alpha"_s}, std::pair{second.path(), u"beta"_s}}) {
            ScriptedDialogService dialogs;
            QString shown;
            QCOMPARE(RunIn(folder, dialogs,
                           [&shown](MainWindow& window) {
                               shown = window.findChild<QLineEdit*>(u"userNameEdit"_s)->text();
                           }),
                     0);
            QCOMPARE(shown, expected);
        }
    }

    // Started from the menu in the home folder: the settings go to the work folder, made on demand.
    void menuStartWorksInTheWorkFolder() {
        QTemporaryDir home;
        const QString workFolder = home.filePath(u"Documents/Vantrel"_s);
        ScriptedDialogService dialogs;
        QCOMPARE(RunIn(
                     home.path(), dialogs, [](MainWindow&) {}, workFolder),
                 0);
        QVERIFY(QFile::exists(workFolder + u"/Vantrel.ini"_s));
        QVERIFY(!QFile::exists(home.filePath(u"Vantrel.ini"_s)));
    }

    void unusableWorkFolderIsReportedAndNothingIsWritten() {
        QTemporaryDir home;
        QFile blocker(home.filePath(u"Documents"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString workFolder = home.filePath(u"Documents/Vantrel"_s);
        ToolApp tool(u"Vantrel"_s);
        ScriptedDialogService dialogs;
        FakeProgressFactory progress;
        QCOMPARE(RunTool(tool, dialogs, progress, workFolder), 1);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(tool.StartDirectory().isEmpty());
        QCOMPARE(dialogs.Messages().size(), 1);
        QVERIFY2(dialogs.Messages().first().text.startsWith(u"Cannot use the work folder "_s +
                                                            QDir::toNativeSeparators(workFolder)),
                 qPrintable(dialogs.Messages().first().text));
        QCOMPARE(dialogs.Messages().first().icon, DialogService::Icon::Error);
        QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{u"Documents"_s});
    }
};

VANTREL_TEST_MAIN(TestToolStartup)
#include "test_tool_startup.moc"
