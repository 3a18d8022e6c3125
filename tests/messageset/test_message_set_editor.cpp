// The message set page's logic without widgets: a view that records what it is shown, real wave
// and set files, scripted dialogs.

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "app/ToolApp.h"
#include "messageset/MessageSetEditor.h"
#include "messageset/MessageSetView.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Mode = MessageSetControlStates::Mode;

namespace {

// Holds what the page's widgets would; the radio buttons follow ShowMode as real ones do.
struct RecordingView : MessageSetView {
    QString treePath;
    int selectedRow = -1;
    QString nameText;
    int checkedMode = Mode::kView;
    QString count, total, flashCard, title;
    MessageSetControlStates states;
    int refreshes = 0;

    QString TreePath() const override { return treePath; }
    void RefreshTreeFolder() override { ++refreshes; }
    int SelectedRow() const override { return selectedRow; }
    void SelectRow(int row) override { selectedRow = row; }
    void FocusList() override {}
    QString SetNameText() const override { return nameText; }
    void ShowSetName(const QString& name) override { nameText = name; }
    int CheckedMode() const override { return checkedMode; }
    void ShowMode(int mode) override { checkedMode = mode; }
    void ShowTotals(const QString& c, const QString& t) override { count = c, total = t; }
    void ShowFlashCardSize(const QString& size) override { flashCard = size; }
    void ShowControlStates(const MessageSetControlStates& s) override { states = s; }
    void ShowTitle(const QString& t) override { title = t; }
};

}  // namespace

class TestMessageSetEditor : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        dialogs_.Clear();
        view_ = RecordingView{};
        editor_ = std::make_unique<MessageSetEditor>(view_, context_);
        editor_->Builder().SetFinishedBarPause(std::chrono::milliseconds(0));
    }
    void cleanup() { editor_.reset(); }

    void fromWavesToASavedSet() {
        const QString one = Wave(u"One.wav"_s, 3000), two = Wave(u"two.wav"_s, 1000);
        editor_->EnterNewMode();
        QCOMPARE(view_.nameText, u"set1"_s);
        QCOMPARE(view_.checkedMode, int(Mode::kNew));
        QVERIFY(!view_.states.add);
        for (const QString& wave : {one, two}) {
            view_.treePath = wave;
            editor_->UpdateControls();
            QVERIFY(view_.states.add);
            editor_->AddMessage();
        }
        QCOMPARE(view_.count, u"2"_s);
        QVERIFY(view_.states.save && !view_.states.remove);
        view_.selectedRow = 1;
        editor_->MoveUp();
        QCOMPARE(view_.selectedRow, 0);
        QCOMPARE(editor_->Set().entries.at(0).name, u"two"_s);
        editor_->RemoveMessage();
        QCOMPARE(view_.selectedRow, -1);
        QCOMPARE(view_.count, u"1"_s);
        QCOMPARE(editor_->Set().entries.at(0).size, 3044u);
        QVERIFY(editor_->IsSetChanged());

        const QString target = dir_->filePath(u"Hall.SET"_s);
        dialogs_.QueueSaveFileName(target);
        editor_->SaveSetAs();
        QVERIFY(dialogs_.Texts().isEmpty());
        QVERIFY(QFileInfo(target).size() > 0 && QFileInfo::exists(dir_->filePath(u"Hall.nfo"_s)));
        QCOMPARE(view_.nameText, u"Hall.SET"_s);
        QCOMPARE(view_.title, ToolApp::AppCaption() + u" - "_s + target);
        QCOMPARE(view_.refreshes, 1);
        QVERIFY(!editor_->IsSetChanged());

        // Selecting the saved set in the tree in View mode shows it again.
        view_.treePath = target;
        editor_->EnterViewMode();
        QCOMPARE(editor_->Set().entries.size(), 1);
        QCOMPARE(view_.checkedMode, int(Mode::kView));
    }

    void cancelledQuestionKeepsTheChangedSetAndItsMode() {
        editor_->EnterNewMode();
        view_.treePath = Wave(u"a.wav"_s, 100);
        editor_->AddMessage();
        view_.treePath = dir_->filePath(u"Other.SET"_s);
        view_.checkedMode = Mode::kEdit;  // the Edit radio button was clicked
        dialogs_.QueueAnswer(DialogService::Answer::Cancel);
        editor_->EnterEditMode();
        QCOMPARE(dialogs_.Messages().size(), 1);
        QCOMPARE(dialogs_.Messages().constFirst().buttons, DialogService::Buttons::YesNoCancel);
        QCOMPARE(editor_->CurrentMode(), int(Mode::kNew));
        QCOMPARE(view_.checkedMode, int(Mode::kNew));
        QCOMPARE(editor_->Set().entries.size(), 1);
        QVERIFY(editor_->IsSetChanged());
    }

    void refusedNameIsSaidAfterTheEdit() {
        editor_->EnterNewMode();
        view_.treePath = Wave(u"a.wav"_s, 100);
        editor_->AddMessage();
        dialogs_.Clear();
        MessageSetTableModel& table = editor_->Table();
        QVERIFY(!table.setData(table.index(0, 0), u"a~b"_s));
        QVERIFY(dialogs_.Texts().isEmpty());
        QTRY_COMPARE(dialogs_.Texts().size(), 1);
        QVERIFY(dialogs_.Texts().constFirst().startsWith(u"Messages names may not"_s));
    }

private:
    QString Wave(const QString& name, qint64 dataBytes) {
        const QString path = dir_->filePath(name);
        return wave_files::Write(path, wave_files::Make(dataBytes)) ? path : QString();
    }

    std::unique_ptr<QTemporaryDir> dir_;
    ToolApp app_{u"Vantrel"_s};
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;
    PageContext context_{app_, dialogs_, progress_};
    RecordingView view_;
    std::unique_ptr<MessageSetEditor> editor_;
};

QTEST_GUILESS_MAIN(TestMessageSetEditor)
#include "test_message_set_editor.moc"
