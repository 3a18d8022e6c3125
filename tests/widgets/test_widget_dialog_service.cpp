// The real message boxes of the dialog service, offscreen: which keys and buttons answer them,
// and the pointer they show.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "tests/support/TestMain.h"
#include "widgets/WaitCursor.h"
#include "widgets/WidgetDialogService.h"

using namespace Qt::StringLiterals;
using Answer = DialogService::Answer;
using Buttons = DialogService::Buttons;

class TestWidgetDialogService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapeAndCloseBox_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<Answer>("answer");
        // Without Cancel only Yes or No answers: the box stays and Yes is pressed.
        QTest::newRow("yes no") << Buttons::YesNo << true << Answer::Yes;
        QTest::newRow("yes no cancel") << Buttons::YesNoCancel << false << Answer::Cancel;
        QTest::newRow("ok cancel") << Buttons::OkCancel << false << Answer::Cancel;
        QTest::newRow("ok") << Buttons::Ok << false << Answer::Ok;
    }
    void escapeAndCloseBox() {
        QFETCH(Buttons, buttons);
        QFETCH(bool, staysOpen);
        QFETCH(Answer, answer);
        WidgetDialogService dialogs(u"Caption"_s);
        bool openAfterEscape = false;
        bool openAfterClose = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            QTest::keyClick(box, Qt::Key_Escape);
            openAfterEscape = box->isVisible();
            if (openAfterEscape) {
                box->windowHandle()->close();  // as the window system's close box does
                openAfterClose = box->isVisible();
                box->button(QMessageBox::Yes)->click();
            }
        });
        QCOMPARE(dialogs.ShowMessage(u"The message set has changed."_s, buttons,
                                     DialogService::Icon::Question),
                 answer);
        QCOMPARE(openAfterEscape, staysOpen);
        QCOMPARE(openAfterClose, staysOpen);
    }

    // A message shown during a long operation waits for the user: an arrow while it is open, the
    // operation's wait cursor again after it.
    void boxShowsArrowUnderWaitCursor() {
        WidgetDialogService dialogs(u"Caption"_s);
        const WaitCursor waitCursor;
        std::optional<Qt::CursorShape> whileOpen;
        QTimer::singleShot(0, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
                    whileOpen = cursor->shape();
                }
                box->button(QMessageBox::Ok)->click();
            }
        });
        dialogs.Inform(u"The set file could not be written."_s);
        QCOMPARE(whileOpen, std::optional(Qt::ArrowCursor));
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
};

VANTREL_TEST_MAIN(TestWidgetDialogService)
#include "test_widget_dialog_service.moc"
