// The main window: its pages, switching, the exit questions, the keyboard rules and the real
// dialog service.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "base/PrivateProfile.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"
#include "widgets/PageDialog.h"
#include "widgets/UnsavedSetOwner.h"
#include "widgets/WidgetDialogService.h"

using namespace Qt::StringLiterals;
using Buttons = DialogService::Buttons;
using Icon = DialogService::Icon;
using Answer = DialogService::Answer;

namespace {

class FakeSetOwner : public UnsavedSetOwner {
public:
    bool changed = false;
    int saves = 0;
    bool IsSetChanged() const override { return changed; }
    void SaveSetAs() override { ++saves; }
};

// A page with a field, a button and a field, in that tab order, for the keyboard rules every page
// shares.
class FieldsPage : public PageDialog {
public:
    FieldsPage(const PageContext& context, QWidget* parent) : PageDialog(context, parent) {
        first = new QLineEdit(this);
        button = new QPushButton(u"Go"_s, this);
        second = new QLineEdit(this);
        first->move(0, 0);
        button->move(0, 40);
        second->move(0, 80);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    void UseDefaultButton() { SetDefaultButton(button); }
    QLineEdit* first;
    QPushButton* button;
    QLineEdit* second;
    int clicks = 0;
};

QString FocusName() {
    return QApplication::focusWidget() != nullptr ? QApplication::focusWidget()->objectName()
                                                  : u"<none>"_s;
}

const QStringList kPageButtons{u"loginButton"_s, u"messageSetsButton"_s, u"fileTransferButton"_s,
                               u"exitButton"_s};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir startDir_;
    QString workingDirectory_;
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
        tool_.SetStartDirectory(startDir_.path());
        // The file transfer page enters its message set folder below the upload directory when it
        // is shown (moving the working directory): give it one that exists.
        workingDirectory_ = QDir::currentPath();
        const QString upload = startDir_.filePath(u"target"_s);
        QVERIFY(QDir().mkpath(upload));
        QVERIFY(
            PrivateProfile::WriteString(tool_.SettingsFilePath(), u"Upload"_s, u"Dir"_s, upload));
    }

    void cleanup() { QDir::setCurrent(workingDirectory_); }

    void startsOnTheLoginPage() {
        MainWindow window(Context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), u"Orvanta File Transfer Application V.0.90.0400"_s);
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kLoginPage));
        QVERIFY(window.Page(MainWindow::kLoginPage)->isVisible());
        QVERIFY(!window.Page(MainWindow::kMessageSetPage)->isVisible());
        QVERIFY(!window.Page(MainWindow::kFileTransferPage)->isVisible());
        const auto* stack = Find<QStackedWidget>(window, u"pageStack"_s);
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->widget(MainWindow::kMessageSetPage)->objectName(), u"messageSetPage"_s);
        QCOMPARE(stack->widget(MainWindow::kLoginPage)->objectName(), u"loginPage"_s);
        QCOMPARE(stack->widget(MainWindow::kFileTransferPage)->objectName(), u"fileTransferPage"_s);
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        // Resizable, never below what its pages need.
        QCOMPARE(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(window.minimumSize(), window.minimumSizeHint());
        QVERIFY(window.width() >= window.minimumWidth() &&
                window.height() >= window.minimumHeight());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(74, 115, 222));
        const QPalette pagePalette = window.Page(MainWindow::kLoginPage)->palette();
        QCOMPARE(pagePalette.color(QPalette::Window), QColor(16, 57, 165));
        QCOMPARE(pagePalette.color(QPalette::WindowText), QColor(206, 255, 255));
        QCOMPARE(pagePalette.color(QPalette::Text), QColor(1, 1, 1));
        QVERIFY(dialogs_.Messages().isEmpty());
    }

    void switchesPagesWithTheButtons() {
        MainWindow window(Context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setWindowTitle(u"changed title"_s);

        Find<QPushButton>(window, u"messageSetsButton"_s)->click();
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kMessageSetPage));
        QVERIFY(window.Page(MainWindow::kMessageSetPage)->isVisible());
        QVERIFY(!window.Page(MainWindow::kLoginPage)->isVisible());
        QCOMPARE(window.windowTitle(), ToolApp::AppCaption());

        Find<QPushButton>(window, u"fileTransferButton"_s)->click();
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kFileTransferPage));
        QVERIFY(window.Page(MainWindow::kFileTransferPage)->isVisible());
        QVERIFY(!window.Page(MainWindow::kMessageSetPage)->isVisible());

        // The button of the page already shown changes nothing, not the title nor the focus.
        auto* exitButton = Find<QPushButton>(window, u"exitButton"_s);
        exitButton->setFocus();
        window.setWindowTitle(u"kept"_s);
        Find<QPushButton>(window, u"fileTransferButton"_s)->click();
        QCOMPARE(window.windowTitle(), u"kept"_s);
        QCOMPARE(QApplication::focusWidget(), exitButton);
        // Nor with the mouse, which would give a button the focus as it is pressed.
        QTest::mouseClick(Find<QPushButton>(window, u"fileTransferButton"_s), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), exitButton);

        Find<QPushButton>(window, u"loginButton"_s)->click();
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kLoginPage));
        QVERIFY(window.Page(MainWindow::kLoginPage)->isVisible());
        QVERIFY(!window.Page(MainWindow::kFileTransferPage)->isVisible());
        QVERIFY(dialogs_.Messages().isEmpty());
    }

    void escapeClosesNothing() {
        MainWindow window(Context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        QTest::keyClick(window.Page(MainWindow::kLoginPage), Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(window.Page(MainWindow::kLoginPage)->isVisible());
        QVERIFY(dialogs_.Messages().isEmpty());
    }

    void enterMovesWithinThePageOrPressesAButton() {
        QWidget host;
        auto* outside = new QPushButton(u"Outside"_s, &host);  // before the page in tab order
        FieldsPage page(Context(), &host);
        page.move(0, 40);
        page.InitialisePage();
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        page.first->setFocus();
        QTest::keyClick(page.first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), page.button);
        // Return on a focused button presses it.
        QTest::keyClick(page.button, Qt::Key_Return);
        QCOMPARE(page.clicks, 1);
        // From the page's last control Enter wraps to its first, never to a control outside.
        page.second->setFocus();
        QTest::keyClick(page.second, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), page.first);
        QVERIFY(!outside->hasFocus());
        QTest::keyClick(page.second, Qt::Key_Escape);
        QVERIFY(page.isVisible());

        page.UseDefaultButton();
        page.first->setFocus();
        QTest::keyClick(page.first, Qt::Key_Enter);
        QCOMPARE(page.clicks, 2);
        // A disabled default button does not take Enter, nor does Tab stop on it.
        page.button->setEnabled(false);
        page.first->setFocus();
        QTest::keyClick(page.first, Qt::Key_Return);
        QCOMPARE(page.clicks, 2);
        QCOMPARE(QApplication::focusWidget(), page.second);
    }

    // Per page: the control a switch focuses, then the whole Tab cycle from it.
    void tabCyclesThroughTheVisiblePageAndTheButtons_data() {
        QTest::addColumn<QString>("pageButton");
        QTest::addColumn<QStringList>("pageControls");
        QTest::newRow("message sets")
            << u"messageSetsButton"_s
            << QStringList{u"folderTree"_s, u"viewModeRadio"_s, u"setNameEdit"_s,
                           u"messageList"_s};  // View mode: the edit buttons are disabled
        QTest::newRow("file transfer")
            << u"fileTransferButton"_s
            << QStringList{u"driveCombo"_s, u"localList"_s, u"remoteList"_s, u"messageSetRadio"_s};
        QTest::newRow("login") << u"loginButton"_s
                               << QStringList{u"addressField0"_s, u"addressField1"_s,
                                              u"addressField2"_s, u"addressField3"_s,
                                              u"userNameEdit"_s,  u"passwordEdit"_s,
                                              u"connectButton"_s};
    }
    void tabCyclesThroughTheVisiblePageAndTheButtons() {
        QFETCH(QString, pageButton);
        QFETCH(QStringList, pageControls);
        MainWindow window(Context());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (pageButton == u"loginButton"_s) {
            window.ShowPage(MainWindow::kMessageSetPage);  // so that Login is a switch
        }
        Find<QPushButton>(window, pageButton)->click();
        QCOMPARE(FocusName(), pageControls.constFirst());

        QStringList cycle{FocusName()};
        for (int step = 0; step < 40; ++step) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused != nullptr && focused->isVisible());
            QTest::keyClick(focused, Qt::Key_Tab);
            if (FocusName() == cycle.constFirst()) {
                break;
            }
            cycle << FocusName();
        }
        QCOMPARE(cycle, pageControls + kPageButtons);
        // Enter walks the page's part of the same cycle.
        QStringList enterStops;
        for (const QWidget* control : window.Page(window.CurrentPageIndex())->TabControls()) {
            enterStops << control->objectName();
        }
        QCOMPARE(enterStops, pageControls);
    }

    void returnPressesAFocusedPageButton() {
        MainWindow window(Context());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* button = Find<QPushButton>(window, u"messageSetsButton"_s);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kMessageSetPage));
    }

    void exitAnsweredNoKeepsRunning() {
        MainWindow window(Context());
        FakeSetOwner owner;
        owner.changed = true;
        window.SetUnsavedSetOwner(&owner);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dialogs_.QueueAnswer(Answer::No);
        Find<QPushButton>(window, u"exitButton"_s)->click();
        QVERIFY(window.isVisible());
        QCOMPARE(dialogs_.Messages().size(), 1);
        const auto& question = dialogs_.Messages().first();
        QCOMPARE(question.text, u"Are you sure you want to exit ?"_s);
        QCOMPARE(question.buttons, Buttons::YesNo);
        QCOMPARE(question.icon, Icon::None);
        QCOMPARE(owner.saves, 0);
        QCOMPARE(window.CurrentPageIndex(), int(MainWindow::kLoginPage));
    }

    void closeIsRefusedWhileAnOperationRuns() {
        MainWindow window(Context());
        window.show();
        window.setEnabled(false);  // what a modal progress window does
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QVERIFY(dialogs_.Messages().isEmpty());
        window.setEnabled(true);
        dialogs_.QueueAnswer(Answer::Yes);
        QVERIFY(window.close());
    }

    void exitWithAnUnchangedSetAsksOnce() {
        MainWindow window(Context());
        FakeSetOwner owner;
        window.SetUnsavedSetOwner(&owner);
        window.show();
        dialogs_.QueueAnswer(Answer::Yes);
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QCOMPARE(dialogs_.Messages().size(), 1);
        QCOMPARE(owner.saves, 0);
    }

    void exitWithAChangedSetOffersToSave_data() {
        QTest::addColumn<Answer>("saveAnswer");
        QTest::addColumn<int>("expectedSaves");
        QTest::newRow("save") << Answer::Yes << 1;
        QTest::newRow("do not save") << Answer::No << 0;
    }
    void exitWithAChangedSetOffersToSave() {
        QFETCH(Answer, saveAnswer);
        QFETCH(int, expectedSaves);
        MainWindow window(Context());
        FakeSetOwner owner;
        owner.changed = true;
        window.SetUnsavedSetOwner(&owner);
        window.show();
        dialogs_.QueueAnswer(Answer::Yes);
        dialogs_.QueueAnswer(saveAnswer);
        // The close goes on whatever the save did (cancelled, failed or done).
        QVERIFY(window.close());
        QCOMPARE(dialogs_.Messages().size(), 2);
        const auto& second = dialogs_.Messages().at(1);
        QCOMPARE(second.text, u"The message set has changed. Do you want to save it first ?"_s);
        QCOMPARE(second.buttons, Buttons::YesNo);
        QCOMPARE(second.icon, Icon::Question);
        QCOMPARE(owner.saves, expectedSaves);
        QCOMPARE(dialogs_.UnansweredQuestions(), 0);
    }

    void deletesPagesInTheirOrder() {
        QStringList order;
        {
            MainWindow window(Context());
            for (int index : {MainWindow::kFileTransferPage, MainWindow::kLoginPage,
                              MainWindow::kMessageSetPage}) {
                const QString name = window.Page(index)->objectName();
                connect(window.Page(index), &QObject::destroyed, this,
                        [&order, name] { order << name; });
            }
        }
        QCOMPARE(order, QStringList({u"messageSetPage"_s, u"loginPage"_s, u"fileTransferPage"_s}));
    }

    void settingsThatCannotBeWrittenAreReportedOnceAtExit() {
        const QString settings = tool_.SettingsFilePath();
        {
            MainWindow window(Context());
            window.show();
            // A folder in the settings file's place: no page can write it.
            QVERIFY(QFile::remove(settings));
            QVERIFY(QDir().mkdir(settings));
            dialogs_.QueueAnswer(Answer::Yes);
            QVERIFY(window.close());
            QCOMPARE(dialogs_.Messages().size(), 2);
            const auto& report = dialogs_.Messages().at(1);
            QCOMPARE(report.icon, Icon::Error);
            QCOMPARE(report.buttons, Buttons::Ok);
            const QStringList lines = report.text.split(u'\n');
            QCOMPARE(lines.size(), 4);
            QVERIFY(lines.at(1).contains(u"last folder"_s));
            QVERIFY(lines.at(2).contains(u"controller address"_s));
            QVERIFY(lines.at(3).contains(u"file transfer settings"_s));
        }
        QCOMPARE(dialogs_.Messages().size(), 2);  // nothing more as the pages go
        QVERIFY(QDir().rmdir(settings));
    }

    void realDialogsCarryTheCaption() {
        WidgetDialogService service(ToolApp::AppCaption());
        QString seenTitle;
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            QVERIFY(box->button(QMessageBox::No) != nullptr);
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(service.ShowMessage(u"Clear entire list?"_s, Buttons::YesNo, Icon::Question),
                 Answer::Yes);
        QCOMPARE(seenTitle, ToolApp::AppCaption());
        QCOMPARE(seenText, u"Clear entire list?"_s);
        QCOMPARE(seenIcon, QMessageBox::Question);

        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seenIcon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        service.ShowError(u"Program is already running"_s);
        QCOMPARE(seenIcon, QMessageBox::Critical);
    }

    void realSaveDialogAppliesTheRequest() {
        QTemporaryDir folder;
        QVERIFY(QDir::setCurrent(folder.path()));
        WidgetDialogService service(ToolApp::AppCaption());
        QStringList seenFilters;
        QString seenSuffix;
        bool seenConfirm = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            seenFilters = dialog->nameFilters();
            seenSuffix = dialog->defaultSuffix();
            seenConfirm = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<QString> chosen = service.AskSaveFileName(
            {u"Lobby"_s, u"set"_s, u"message set files (*.set)|*.set|All Files (*.*)|*.*||"_s,
             true});
        QVERIFY(chosen.has_value());
        QCOMPARE(QFileInfo(*chosen).fileName(), u"Lobby.set"_s);
        QCOMPARE(seenFilters, QStringList({u"message set files (*.set)"_s, u"All Files (*.*)"_s}));
        QCOMPARE(seenSuffix, u"set"_s);
        QVERIFY(seenConfirm);

        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        QVERIFY(!service.AskSaveFileName({u"x"_s, QString(), u"All Files (*.*)|*.*||"_s, true})
                     .has_value());
    }
};

VANTREL_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
