// The real message boxes of the dialog service, offscreen: which keys and buttons answer them,
// and the pointer they show; the question of "Match loudness..." and what it answers.

#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
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

    // The median is offered when known and chosen at first; a typed target and the selected
    // message only when asked for; what is not available is disabled; Escape cancels.
    void loudnessQuestionAnswersWhatIsChosen() {
        WidgetDialogService dialogs(u"Caption"_s);
        DialogService::LoudnessMatchRequest request;
        request.median = -21.3;
        request.messageCount = 5;
        request.selectedName = u"bell"_s;
        QStringList seen;
        const auto answer = [&](bool typed) {
            QTimer::singleShot(0, this, [&, typed] {
                QWidget* dialog = QApplication::activeModalWidget();
                auto radio = [dialog](const char* name) {
                    return dialog->findChild<QRadioButton*>(QString::fromLatin1(name));
                };
                auto* spin = dialog->findChild<QDoubleSpinBox*>(u"targetSpin"_s);
                for (const char* name : {"medianTargetRadio", "selectedMessageRadio"}) {
                    seen << radio(name)->text() + (radio(name)->isEnabled() ? u""_s : u" (off)"_s);
                }
                seen << (spin->isEnabled() ? u"spin on"_s : u"spin off"_s);
                if (!typed) {
                    QTest::keyClick(dialog, Qt::Key_Escape);
                    return;
                }
                radio("typedTargetRadio")->click();
                spin->setValue(-18.0);
                radio("selectedMessageRadio")->click();
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
        };
        answer(true);
        const auto chosen = dialogs.AskLoudnessMatch(request);
        QVERIFY(chosen.has_value());
        QCOMPARE(chosen->targetLufs, -18.0);
        QVERIFY(chosen->selectedOnly);
        answer(false);
        QVERIFY(!dialogs.AskLoudnessMatch(DialogService::LoudnessMatchRequest{}).has_value());
        QCOMPARE(seen,
                 (QStringList{u"The set's &median: -21.3 LUFS"_s, u"The &selected message: bell"_s,
                              u"spin off"_s, u"The set's &median (no message measured) (off)"_s,
                              u"The &selected message (none is selected) (off)"_s, u"spin on"_s}));
    }
};

VANTREL_TEST_MAIN(TestWidgetDialogService)
#include "test_widget_dialog_service.moc"
