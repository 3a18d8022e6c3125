// The progress window: its caption, text, bar, cancel paths, modality and remembered position.

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include "progress/ProgressWindow.h"
#include "progress/ProgressWindowFactory.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;

namespace {

// Counts the paint events the progress window's text label receives, as they are delivered.
class TextPaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == u"progressText"_s) {
            ++paints;
        }
        return false;
    }
};

}  // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT

private:
    QWidget* mainWindow_ = nullptr;

    static QSettings Profile() {
        return QSettings(ProgressWindow::PositionFilePath(), QSettings::NativeFormat);
    }
    static QLabel* Label(const ProgressWindow& progress) {
        return progress.Window()->findChild<QLabel*>(u"progressText"_s);
    }
    static QPushButton* CancelButton(const ProgressWindow& progress) {
        return progress.Window()->findChild<QPushButton*>(u"cancelButton"_s);
    }
    static void PostEscape(QWidget* target) {
        QCoreApplication::postEvent(
            target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        Profile().clear();
        mainWindow_ = new QWidget;
        mainWindow_->resize(600, 400);
        mainWindow_->show();
    }
    void cleanupTestCase() {
        delete mainWindow_;
        Profile().clear();
    }
    void init() { QVERIFY(mainWindow_->isEnabled()); }

    void looksAsAProgressWindowShould() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        QWidget* window = progress.Window();
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), u"Progress"_s);
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(CancelButton(progress)->text(), u" Cancel "_s);
        QVERIFY(!window->close());  // no close box, and a close request is refused
        QVERIFY(window->isVisible());

        QLabel* label = Label(progress);
        QVERIFY(!label->wordWrap());
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // Never narrower than 390 pixels, and wide enough for a usual line in any font.
        QVERIFY(label->width() >= 390);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(
                                      u"Now uploading file : announcement-lobby-ground.set"_s));
        QCOMPARE(label->height(), label->fontMetrics().lineSpacing() * 4);
        progress.SetText(u"Now uploading file : R&D 100%.gif\n"_s);
        QCOMPARE(label->text(), u"Now uploading file : R&D 100%.gif\n"_s);
        progress.SetText(QString(600, u'x'));
        QCOMPARE(label->text().size(), 511);
    }

    // Callers pause or block right after showing the window: it must be on screen and painted
    // by then, without an event pump of theirs.
    void paintedBeforeTheCallerGoesOn() {
        TextPaintCounter counter;
        qApp->installEventFilter(&counter);
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        QVERIFY(progress.Window()->windowHandle()->isExposed());
        QVERIFY(counter.paints > 0);

        progress.MakeModal();
        progress.SetText(u"Now uploading file : a.set\n"_s);
        int before = counter.paints;
        progress.RepaintNow();
        QVERIFY(counter.paints > before);

        progress.HideProgress();
        before = counter.paints;
        progress.Advance();  // shown again
        QVERIFY(progress.Window()->windowHandle()->isExposed());
        QVERIFY(counter.paints > before);
        qApp->removeEventFilter(&counter);
    }

    void captionShowsWholePercentages() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        QWidget* window = progress.Window();
        QSignalSpy titleChanges(window, &QWidget::windowTitleChanged);
        progress.SetBarRange(0, 1000, 40);
        progress.Advance();
        progress.Advance();
        progress.Advance();
        QCOMPARE(progress.Position(), 120);
        QCOMPARE(window->windowTitle(), u"Progress [12%]"_s);
        QCOMPARE(titleChanges.size(), 3);  // 4 %, 8 %, 12 %

        progress.SetBarRange(0, 1000, 1);
        progress.SetBarPosition(121);  // still 12 %: the caption is not rewritten
        QCOMPARE(titleChanges.size(), 3);
        progress.SetBarPosition(5000);  // beyond the upper bound: capped
        QCOMPARE(window->windowTitle(), u"Progress [100%]"_s);
        QCOMPARE(window->findChild<QProgressBar*>(u"progressBar"_s)->value(), 1000);

        ProgressWindow marked(u"Creating: /sets/a%1b.set"_s, nullptr);  // "%1" is part of the title
        marked.SetBarRange(0, 100, 42);
        marked.Advance();
        QCOMPARE(marked.Window()->windowTitle(), u"Creating: /sets/a%1b.set [42%]"_s);
    }

    void screenReadersReadTheTextAndThePercentage() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        progress.SetText(u"Now uploading file : lobby.set\n"_s);
        QAccessibleInterface* text = QAccessible::queryAccessibleInterface(Label(progress));
        QCOMPARE(text->text(QAccessible::Name), u"Now uploading file : lobby.set\n"_s);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(
            progress.Window()->findChild<QProgressBar*>(u"progressBar"_s));
        QCOMPARE(bar->text(QAccessible::Description), u"0% done"_s);
        progress.SetBarRange(0, 1000, 40);
        progress.Advance();
        progress.Advance();
        progress.Advance();
        QCOMPARE(bar->text(QAccessible::Description), u"12% done"_s);
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 120);
        QCOMPARE(QAccessible::queryAccessibleInterface(progress.Window())->text(QAccessible::Name),
                 u"Progress [12%]"_s);
    }

    void captionKeepsThePlainTitleAtZero() {
        ProgressWindow progress(u"Creating: /tmp/a.SET"_s, mainWindow_);
        progress.SetBarRange(0, 1000, 1);
        progress.Advance();  // 0 %
        QCOMPARE(progress.Window()->windowTitle(), u"Creating: /tmp/a.SET"_s);

        ProgressWindow empty(u"Progress"_s, mainWindow_);
        empty.SetBarRange(0, 0, 40);  // a file under 1 KiB
        empty.Advance();
        empty.Advance();
        QCOMPARE(empty.Window()->windowTitle(), u"Progress"_s);
    }

    void advanceShowsAHiddenWindowAgain() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        progress.HideProgress();
        QVERIFY(!progress.Window()->isVisible());
        progress.Advance();
        QVERIFY(progress.Window()->isVisible());
    }

    void escapeCancelsAModalWindow() {
        {
            ProgressWindow progress(u"Progress"_s, mainWindow_);
            progress.MakeModal();
            QVERIFY(!mainWindow_->isEnabled());
            PostEscape(progress.Window());
            progress.PumpMessages();
            QVERIFY(progress.IsCancelled());
            QVERIFY(!progress.HasWindow());
            // Operations on a closed window do nothing.
            progress.SetText(u"ignored"_s);
            progress.Advance();
            QVERIFY(!progress.HasWindow());
            // The main window stays disabled until the operation has cleaned up.
            QVERIFY(!mainWindow_->isEnabled());
        }
        QVERIFY(mainWindow_->isEnabled());
    }

    void escapeCancelsAWindowThatIsNotModal() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        PostEscape(mainWindow_);  // Escape anywhere in the program counts while pumping
        progress.PumpMessages();
        QVERIFY(progress.IsCancelled());
        QVERIFY(progress.HasWindow());
        QVERIFY(!progress.Window()->isVisible());
        QVERIFY(mainWindow_->isEnabled());
    }

    void releaseOverCancelCancelsBeforeTheClick() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        progress.MakeModal();
        QPushButton* button = CancelButton(progress);
        const QPointF local(button->width() / 2.0, button->height() / 2.0);
        const QPointF global = button->mapToGlobal(local);
        QCoreApplication::postEvent(
            button, new QMouseEvent(QEvent::MouseButtonRelease, local, local, global,
                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        progress.PumpMessages();
        QVERIFY(progress.IsCancelled());
        QVERIFY(!progress.HasWindow());
    }

    void cancelButtonCancels() {
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        CancelButton(progress)->click();
        QVERIFY(progress.IsCancelled());
        QVERIFY(!progress.Window()->isVisible());
    }

    void mainWindowIsEnabledAgainWithoutACancel() {
        {
            ProgressWindow progress(u"Progress"_s, mainWindow_);
            progress.MakeModal();
            QVERIFY(progress.IsModal());
            progress.PumpMessages();
            QVERIFY(!progress.IsCancelled());
        }
        QVERIFY(mainWindow_->isEnabled());
    }

    void factoryGivesEachWindowTheOwnerItWasGiven() {
        ProgressWindowFactory factory;
        factory.SetOwnerWindow(mainWindow_);
        {
            const std::unique_ptr<ProgressSink> progress = factory.Create(u"Progress"_s);
            progress->MakeModal();
            QVERIFY(!mainWindow_->isEnabled());
        }
        QVERIFY(mainWindow_->isEnabled());
        factory.SetOwnerWindow(nullptr);  // the main window is going
        const std::unique_ptr<ProgressSink> progress = factory.Create(u"Progress"_s);
        progress->MakeModal();
        QVERIFY(mainWindow_->isEnabled());
    }

    void remembersItsPosition() {
        Profile().clear();
        QPoint placed;
        {
            ProgressWindow progress(u"Progress"_s, mainWindow_);
            progress.Window()->move(40, 50);
            placed = progress.Window()->frameGeometry().topLeft();
        }
        QCOMPARE(Profile().value(u"Settings/X"_s).toInt(), placed.x());
        QCOMPARE(Profile().value(u"Settings/Y"_s).toInt(), placed.y());
        {
            ProgressWindow progress(u"Progress"_s, mainWindow_);
            QCOMPARE(progress.Window()->frameGeometry().topLeft(), placed);
            // A cancel in modal mode closes the window: nothing is saved then.
            progress.MakeModal();
            progress.Window()->move(70, 80);
            PostEscape(progress.Window());
            progress.PumpMessages();
        }
        QCOMPARE(Profile().value(u"Settings/X"_s).toInt(), placed.x());

        // Started in the configuration folder, the settings file is "<program>.ini" there: the
        // position never goes into it.
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY(QDir().mkpath(folder));
        const QString settings = folder + u'/' + QCoreApplication::applicationName() + u".ini"_s;
        const QByteArray settingsText("[Login]\r\nUser Name=a b\r\n");
        QVERIFY(wave_files::Write(settings, settingsText));
        { ProgressWindow progress(u"Progress"_s, nullptr); }
        QCOMPARE(test_files::ReadAll(settings), settingsText);
        QVERIFY(QFile::remove(settings));

        Profile().setValue(u"Settings/X"_s, 100000);  // off screen: centred over the owner
        ProgressWindow progress(u"Progress"_s, mainWindow_);
        const QPoint centre = progress.Window()->frameGeometry().center();
        QVERIFY(qAbs(centre.x() - mainWindow_->frameGeometry().center().x()) <= 2);
    }
};

VANTREL_TEST_MAIN(TestProgressWindow)
#include "test_progress_window.moc"
