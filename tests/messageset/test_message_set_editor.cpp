// The message set page's logic without widgets: a view that records what it is shown, real wave
// and set files, scripted dialogs.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "audio/WaveFormat.h"
#include "base/ToolState.h"
#include "messageset/MessageSetEditor.h"
#include "messageset/MessageSetView.h"
#include "setfile/SetFileWriter.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Mode = MessageSetControlStates::Mode;
using Answer = DialogService::Answer;

namespace {

bool FlipByte(const QString& path, qint64 offset) {
    QFile file(path);
    char byte = 0;
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.getChar(&byte) &&
           file.seek(offset) && file.putChar(static_cast<char>(byte ^ 0x5A));
}

// A silent stereo 16-bit 48 kHz wave: refused by the format check, converted without clipping.
QByteArray SilentStereo48k(qint64 dataBytes) {
    wave_files::Format format;
    format.channels = 2;
    format.samplesPerSecond = 48000;
    format.blockAlign = 4;
    QByteArray bytes = wave_files::Make(dataBytes, format);
    return bytes.replace(44, dataBytes, QByteArray(dataBytes, '\0'));
}

// Holds what the page's widgets would; the radio buttons follow ShowMode as real ones do.
struct RecordingView : MessageSetView {
    QString treePath;
    int selectedRow = -1;
    QString nameText;
    int checkedMode = Mode::kView;
    QString count, total, flashCard, title, setFileStatus, loudnessSpread;
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
    void ShowSetFileStatus(const QString& s) override { setFileStatus = s; }
    void ShowLoudnessSpread(const QString& s) override { loudnessSpread = s; }
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
        QCOMPARE(view_.title, ToolState::AppCaption() + u" - "_s + target);
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

    // A set without its info file, or with one naming a wave that is gone: listed from the set
    // file, with sizes from its length values and its CRC status; its messages play.
    void viewShowsASetFromItsSetFileAlone() {
        const QString one = Wave(u"one.wav"_s, 3001), two = Wave(u"two.wav"_s, 1000);
        const QString setPath = BuildSet({one, two});
        view_.treePath = setPath;
        editor_->EnterViewMode();
        QVERIFY(dialogs_.Texts().isEmpty());
        QVERIFY(editor_->StoredSet().has_value());
        QCOMPARE(editor_->Set().setName, u"Hall.SET"_s);
        QCOMPARE(editor_->Set().entries.size(), 2);
        QCOMPARE(editor_->Set().entries.at(0).name, u"one"_s);
        QCOMPARE(editor_->Set().entries.at(0).size, quint32(QFileInfo(one).size()));
        QCOMPARE(editor_->Set().entries.at(1).size, quint32(QFileInfo(two).size()));
        QCOMPARE(view_.count, u"2"_s);
        QVERIFY2(view_.setFileStatus.startsWith(u"Shown from the set file, as its info file cannot "
                                                "be read. CRC 0x"_s),
                 qPrintable(view_.setFileStatus));
        QVERIFY(view_.setFileStatus.endsWith(u" matches."_s));

        // Play writes the message as a wave of its own, removed once stopped.
        editor_->OnFocus(MessageSetEditor::Focus::List);
        view_.selectedRow = 1;
        editor_->PlaySelected();
        const QString played = editor_->LastPlayRequest();
        QVERIFY(!played.isEmpty() && played != setPath);
        QCOMPARE(WaveFormat::Examine(played), WaveFormat::Verdict::Supported);
        QCOMPARE(test_files::ReadAll(played).mid(56), test_files::ReadAll(two).mid(56));
        editor_->StopPlaying();
        QVERIFY(!QFileInfo::exists(played));

        // A flipped byte shows as a mismatch; an info file naming a lost wave gives way to the set.
        QVERIFY(FlipByte(setPath, QFileInfo(setPath).size() - 5000));
        const QString infoPath = dir_->filePath(u"Hall.nfo"_s);
        MessageSetModel listed = editor_->Set();
        listed.entries[0].path = dir_->filePath(u"gone.wav"_s);
        QVERIFY(InfoFile(u"Vantrel"_s).WriteInfoFile(listed, infoPath));
        editor_->EnterViewMode();
        QVERIFY(dialogs_.Texts().isEmpty());
        QCOMPARE(editor_->Set().entries.size(), 2);
        QVERIFY2(
            view_.setFileStatus.startsWith(u"Shown from the set file, as wave files its info "
                                           "file lists are missing. CRC mismatch: stored 0x"_s),
            qPrintable(view_.setFileStatus));

        // Another mode forgets it.
        editor_->EnterNewMode();
        QVERIFY(!editor_->StoredSet().has_value());
        QVERIFY(view_.setFileStatus.isEmpty());
    }

    void extractAsksForAFolderAndThenEditsTheSet() {
        const QString setPath = BuildSet({Wave(u"a.wav"_s, 2000), Wave(u"b.wav"_s, 999)});
        view_.treePath = setPath;
        editor_->EnterViewMode();
        editor_->UpdateControls();
        QVERIFY(view_.states.extract && !view_.states.importAudio);
        const QString folder = dir_->filePath(u"out"_s);
        dialogs_.QueueChosenPath(folder);
        editor_->ExtractSet();
        QCOMPARE(dialogs_.ChoiceRequests().size(), 1);
        QCOMPARE(dialogs_.ChoiceRequests().constFirst().initialFolder, dir_->path());
        QVERIFY(dialogs_.Texts().isEmpty());
        QCOMPARE(editor_->CurrentMode(), int(Mode::kEdit));
        QCOMPARE(view_.checkedMode, int(Mode::kEdit));
        QVERIFY(!editor_->StoredSet().has_value());
        QCOMPARE(editor_->Set().entries.size(), 2);
        QCOMPARE(editor_->Set().entries.at(1).path, QDir(folder).filePath(u"b.wav"_s));
        QVERIFY(!editor_->IsSetChanged());

        // Again, over the files now there, with a damaged set: asked first; No keeps them all.
        QVERIFY(FlipByte(setPath, QFileInfo(setPath).size() - 3000));
        editor_->EnterViewMode();
        const QByteArray before = test_files::ReadAll(QDir(folder).filePath(u"a.wav"_s));
        dialogs_.QueueChosenPath(folder);
        editor_->ExtractSet();
        QCOMPARE(dialogs_.Messages().size(), 1);
        QVERIFY(dialogs_.Texts().constFirst().startsWith(u"These files already exist:\n"_s));
        QVERIFY(dialogs_.Texts().constFirst().endsWith(u"\nDo you want to replace them?"_s));
        QCOMPARE(editor_->CurrentMode(), int(Mode::kView));
        QCOMPARE(test_files::ReadAll(QDir(folder).filePath(u"a.wav"_s)), before);
        // Yes replaces them and says the mismatch in one message.
        dialogs_.Clear();
        dialogs_.QueueChosenPath(folder);
        dialogs_.QueueAnswer(Answer::Yes);
        editor_->ExtractSet();
        QCOMPARE(dialogs_.Texts().size(), 2);
        QVERIFY(dialogs_.Texts().at(1).startsWith(
            u"The message set was extracted with warnings:\nCRC mismatch: stored 0x"_s));
        QCOMPARE(editor_->CurrentMode(), int(Mode::kEdit));
    }

    // ">" on a stereo 48 kHz file: the refusal, then the offer of a converted copy.
    void refusedFileOffersAConvertedCopy_data() {
        QTest::addColumn<bool>("copyExists");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("added");
        QTest::newRow("yes") << false << QList<Answer>{Answer::Yes} << true;
        QTest::newRow("no") << false << QList<Answer>{Answer::No} << false;
        QTest::newRow("copy there, replace")
            << true << QList<Answer>{Answer::Yes, Answer::Yes} << true;
        QTest::newRow("copy there, keep")
            << true << QList<Answer>{Answer::Yes, Answer::No} << false;
    }
    void refusedFileOffersAConvertedCopy() {
        QFETCH(bool, copyExists);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, added);
        const QString source = dir_->filePath(u"Stereo.wav"_s);
        const QByteArray original = SilentStereo48k(96000);
        QVERIFY(wave_files::Write(source, original));
        const QString copy = dir_->filePath(u"converted/Stereo.wav"_s);
        const QByteArray stale("stale");
        if (copyExists) {
            QVERIFY(QDir().mkpath(dir_->filePath(u"converted"_s)));
            QVERIFY(wave_files::Write(copy, stale));
        }
        editor_->EnterNewMode();
        view_.treePath = source;
        for (const Answer answer : answers) {
            dialogs_.QueueAnswer(answer);
        }
        editor_->AddMessage();

        QStringList expected{dialogs_.Texts().value(0),
                             u"Do you want to add a copy converted to mono, 16 bit, 44.1kHz?\n"
                             "The copy is written to: "_s +
                                 copy};
        QVERIFY(expected.constFirst().endsWith(u"The selected file is stereo, 16 bits, 48kHz."_s));
        if (copyExists) {
            expected << u"The file '"_s + copy + u"' already exists.\nDo you want to replace it?"_s;
        }
        QCOMPARE(dialogs_.Texts(), expected);
        QCOMPARE(dialogs_.PendingAnswers(), 0);
        QCOMPARE(test_files::ReadAll(source), original);
        QCOMPARE(editor_->Set().entries.size(), added ? 1 : 0);
        QCOMPARE(editor_->IsSetChanged(), added);
        if (added) {
            QCOMPARE(editor_->Set().entries.constFirst().path, copy);
            QCOMPARE(editor_->Set().entries.constFirst().name, u"stereo"_s);
            QCOMPARE(WaveFormat::Examine(copy), WaveFormat::Verdict::Supported);
            // 0.5 s at 48 kHz is 0.5 s at 44.1 kHz.
            QVERIFY(qAbs(QFileInfo(copy).size() - (44 + 2 * 22050)) <= 4);
        } else if (copyExists) {
            QCOMPARE(test_files::ReadAll(copy), stale);
        } else {
            QVERIFY(!QFileInfo::exists(dir_->filePath(u"converted"_s)));
        }
    }

    // "Import audio...": any decodable file, converted without the offer; others said.
    void importAudioConvertsWhatTheDecoderReads() {
        const QString source = dir_->filePath(u"speech.wav"_s);
        QVERIFY(wave_files::Write(source, SilentStereo48k(9600)));
        const QString garbage = dir_->filePath(u"noise.mp3"_s);
        QVERIFY(wave_files::Write(garbage, QByteArray(4000, 'x')));
        const QString longName = dir_->filePath(u"a very long name.flac"_s);
        QVERIFY(wave_files::Write(longName, QByteArray(10, 'x')));
        editor_->EnterNewMode();
        QVERIFY(view_.states.importAudio);
        view_.treePath = dir_->path();
        const size_t displays = progress_.Logs().size();
        for (const QString& chosen : {source, garbage, longName}) {
            dialogs_.QueueChosenPath(chosen);
            editor_->ImportAudio();
        }
        QCOMPARE(dialogs_.ChoiceRequests().size(), 3);
        QCOMPARE(dialogs_.ChoiceRequests().constFirst().initialFolder, dir_->path());
        QVERIFY(dialogs_.ChoiceRequests().constFirst().filter.contains(u"*.flac;*.ogg"_s));
        QCOMPARE(editor_->Set().entries.size(), 1);
        QCOMPARE(editor_->Set().entries.constFirst().path,
                 dir_->filePath(u"converted/speech.wav"_s));
        QCOMPARE(dialogs_.Texts().size(), 2);
        QVERIFY(dialogs_.Texts().at(0).startsWith(u"Could not decode "_s + garbage));
        QVERIFY(dialogs_.Texts().at(1).startsWith(u"Messages names may not"_s));
        QCOMPARE(progress_.Logs().size(), displays + 1);
        QVERIFY(progress_.Last().modal && progress_.Last().destroyed);
    }

private:
    QString Wave(const QString& name, qint64 dataBytes) {
        const QString path = dir_->filePath(name);
        return wave_files::Write(path, wave_files::Make(dataBytes)) ? path : QString();
    }
    // Hall.SET built by our own writer from the waves, without an info file.
    QString BuildSet(const QStringList& waves) {
        QList<MessageEntry> entries;
        for (const QString& wave : waves) {
            entries.append({QFileInfo(wave).baseName(), quint32(QFileInfo(wave).size()), wave});
        }
        const QString setPath = dir_->filePath(u"Hall.SET"_s);
        return SetFileWriter().WriteFile(setPath, u"Hall.SET"_s, entries).Ok() ? setPath
                                                                               : QString();
    }

    std::unique_ptr<QTemporaryDir> dir_;
    ToolState app_{u"Vantrel"_s};
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;
    PageContext context_{app_, dialogs_, progress_};
    RecordingView view_;
    std::unique_ptr<MessageSetEditor> editor_;
};

VANTREL_TEST_GUILESS_MAIN(TestMessageSetEditor)
#include "test_message_set_editor.moc"
