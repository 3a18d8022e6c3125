// The message set page's loudness: the Loudness column, measured off the GUI thread and kept per
// file, the spread line and the marks, a set shown from its set file, and "Match loudness..."
// through its question, writing matched copies that the set then uses. Real widgets offscreen,
// scripted dialogs, sine tones of known loudness (a 1 kHz tone measures 3 dB below its peak).

#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "audio/WaveFormat.h"
#include "base/ToolState.h"
#include "browse/FolderTree.h"
#include "messageset/MessageSetPage.h"
#include "setfile/SetFileWriter.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Answer = DialogService::Answer;
using Column = MessageSetTableModel::Column;
using wave_files::Tone;

namespace {
constexpr int kMeasureTimeout = 30000;
const QString kWithoutValue = u"; 1 without a value (too short, silent or unreadable)"_s;
}  // namespace

class TestMessageSetLoudness : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columnSpreadAndMarksFollowTheSet();
    void setFileMessagesAreMeasuredFromTheirBytes();
    void matchWritesCopiesThatTheSetThenUses();

private:
    QString MakeWave(const QString& name, const QList<Tone>& tones);
    // New mode with a message for each wave, in order.
    void NewSetOf(const QStringList& waves);
    void Select(const QString& path) {
        QVERIFY2(page_->Tree()->SelectPath(path), qPrintable(path));
    }
    void Click(const QString& objectName);
    QStringList Column(int column) const;
    QModelIndex Cell(int row) const {
        return page_->MessageList()->model()->index(row, Column::kLoudnessColumn);
    }
    QString Spread() const { return page_->findChild<QLabel*>(u"loudnessSpread"_s)->text(); }

    std::unique_ptr<QTemporaryDir> dir_;
    QString waves_;  // with a final "/"
    std::unique_ptr<ToolState> tool_;
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;
    std::unique_ptr<MessageSetPage> page_;
};

void TestMessageSetLoudness::init() {
    dialogs_.Clear();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    const QString root = QDir(dir_->path()).canonicalPath() + u'/';
    QVERIFY(QDir(root).mkpath(u"waves"_s));
    waves_ = root + u"waves/"_s;
    tool_ = std::make_unique<ToolState>(u"Vantrel"_s);
    tool_->SetStartDirectory(root);
    page_ = std::make_unique<MessageSetPage>(PageContext{*tool_, dialogs_, progress_}, nullptr);
    page_->InitialisePage();
    page_->resize(900, 500);
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
}

void TestMessageSetLoudness::cleanup() {
    page_.reset();
    tool_.reset();
    dir_.reset();
}

QString TestMessageSetLoudness::MakeWave(const QString& name, const QList<Tone>& tones) {
    const QString path = waves_ + name;
    if (!wave_files::Write(path, wave_files::Tones(tones))) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void TestMessageSetLoudness::NewSetOf(const QStringList& waves) {
    page_->findChild<QRadioButton*>(u"newModeRadio"_s)->click();
    for (const QString& wave : waves) {
        Select(wave);
        Click(u"addButton"_s);
    }
}

void TestMessageSetLoudness::Click(const QString& objectName) {
    auto* button = page_->findChild<QPushButton*>(objectName);
    QVERIFY2(button != nullptr && button->isEnabled(), qPrintable(objectName));
    button->click();
}

QStringList TestMessageSetLoudness::Column(int column) const {
    QStringList texts;
    const QAbstractItemModel* model = page_->MessageList()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, column).data().toString();
    }
    return texts;
}

void TestMessageSetLoudness::columnSpreadAndMarksFollowTheSet() {
    const QString a = MakeWave(u"a.wav"_s, {{2, 1000, -20}});
    const QString b = MakeWave(u"b.wav"_s, {{2, 1000, -21}});
    const QString loud = MakeWave(u"loud.wav"_s, {{2, 1000, -15}});
    const QString blip = MakeWave(u"blip.wav"_s, {{0.3, 1000, -10}});
    const QAbstractItemModel* list = page_->MessageList()->model();
    QCOMPARE(list->headerData(Column::kLoudnessColumn, Qt::Horizontal).toString(), u"Loudness"_s);
    QVERIFY(page_->findChild<QLabel*>(u"loudnessSpread"_s)->isHidden());

    NewSetOf({a, b, loud, blip});
    QTRY_COMPARE_WITH_TIMEOUT(
        Column(Column::kLoudnessColumn),
        (QStringList{u"-23.0 LUFS"_s, u"-24.0 LUFS"_s, u"-18.0 LUFS"_s, u"too short"_s}),
        kMeasureTimeout);
    QTRY_COMPARE(Spread(),
                 u"Loudness -24.0 to -18.0 LUFS, median -23.0; 1 more than 3 LU from "
                 "the median"_s +
                     kWithoutValue);
    QVERIFY(page_->findChild<QLabel*>(u"loudnessSpread"_s)->isVisible());

    // The loud message is marked by colour and bold type, and says why to a screen reader.
    QVERIFY(Cell(2).data(Qt::ForegroundRole).value<QColor>().isValid());
    QVERIFY(Cell(2).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!Cell(1).data(Qt::ForegroundRole).isValid());
    QVERIFY(!Cell(1).data(Qt::FontRole).isValid());
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(page_->MessageList());
    QVERIFY(table != nullptr && table->tableInterface() != nullptr);
    QCOMPARE(
        table->tableInterface()->cellAt(2, Column::kLoudnessColumn)->text(QAccessible::Description),
        u"Marked: 5.0 LU louder than the set's median (-23.0 LUFS)"_s);
    QCOMPARE(Cell(1).data(Qt::AccessibleDescriptionRole).toString(),
             u"1.0 LU quieter than the set's median (-23.0 LUFS)"_s);
    QVERIFY(Cell(3).data(Qt::ToolTipRole).toString().startsWith(u"Integrated too short"_s));

    // Removing the loud one moves the median and takes the mark away.
    page_->MessageList()->setCurrentIndex(list->index(2, 0));
    Click(u"removeButton"_s);
    QCOMPARE(Spread(), u"Loudness -24.0 to -23.0 LUFS, median -23.5"_s + kWithoutValue);

    // Known files are shown at once; a file that changed is measured again.
    Select(a);
    Click(u"addButton"_s);
    QCOMPARE(Column(Column::kLoudnessColumn).last(), u"-23.0 LUFS"_s);
    QVERIFY(wave_files::Write(b, wave_files::Tones({{3, 1000, -30}})));
    Click(u"addButton"_s);
    QCOMPARE(Column(Column::kLoudnessColumn).at(1), u"..."_s);
    QTRY_COMPARE_WITH_TIMEOUT(Column(Column::kLoudnessColumn).at(1), u"-33.0 LUFS"_s,
                              kMeasureTimeout);
}

void TestMessageSetLoudness::setFileMessagesAreMeasuredFromTheirBytes() {
    const QString a = MakeWave(u"a.wav"_s, {{2, 1000, -20}});
    const QString b = MakeWave(u"b.wav"_s, {{1.5, 1000, -24}});
    const QString c = MakeWave(u"c.wav"_s, {{1, 1000, -28}});
    const QString setPath = waves_ + u"Orphan.SET"_s;
    QVERIFY(SetFileWriter()
                .WriteFile(setPath, u"Orphan.SET"_s,
                           {{u"a"_s, quint32(QFileInfo(a).size()), a},
                            {u"b"_s, quint32(QFileInfo(b).size()), b},
                            {u"c"_s, quint32(QFileInfo(c).size()), c}})
                .Ok());
    QVERIFY(QFile::remove(a) && QFile::remove(b) && QFile::remove(c));
    Select(setPath);  // View mode: no info file, no waves
    QVERIFY(page_->findChild<QLabel*>(u"setFileStatus"_s)->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(Column(Column::kLoudnessColumn),
                              (QStringList{u"-23.0 LUFS"_s, u"-27.0 LUFS"_s, u"-31.0 LUFS"_s}),
                              kMeasureTimeout);
    QTRY_COMPARE(Spread(),
                 u"Loudness -31.0 to -23.0 LUFS, median -27.0; 2 more than 3 LU from the median"_s);
    // Marked as in a set of wave files.
    QVERIFY(Cell(2).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!Cell(1).data(Qt::ForegroundRole).isValid());
    QCOMPARE(Cell(2).data(Qt::AccessibleDescriptionRole).toString(),
             u"Marked: 4.0 LU quieter than the set's median (-27.0 LUFS)"_s);
    QVERIFY(!page_->findChild<QPushButton*>(u"matchLoudnessButton"_s)->isEnabled());
}

void TestMessageSetLoudness::matchWritesCopiesThatTheSetThenUses() {
    const QString a = MakeWave(u"a.wav"_s, {{2, 1000, -20}});
    const QString b = MakeWave(u"b.wav"_s, {{2, 1000, -21}});
    // Quiet, with one short loud burst: its peak stops the gain.
    const QString peaky =
        MakeWave(u"peaky.wav"_s, {{10, 1000, -35}, {0.005, 3000, -3}, {2, 1000, -35}});
    const QString blip = MakeWave(u"blip.wav"_s, {{0.3, 1000, -10}});
    const QByteArray originalA = test_files::ReadAll(a);
    NewSetOf({a, b, peaky, blip});
    QVERIFY(page_->findChild<QPushButton*>(u"matchLoudnessButton"_s)->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(
        Column(Column::kLoudnessColumn),
        (QStringList{u"-23.0 LUFS"_s, u"-24.0 LUFS"_s, u"-34.2 LUFS"_s, u"too short"_s}),
        kMeasureTimeout);

    // The selected message only, to a typed target.
    QTreeView* list = page_->MessageList();
    list->setCurrentIndex(list->model()->index(1, 0));
    dialogs_.Clear();
    dialogs_.QueueLoudnessMatch(DialogService::LoudnessMatchChoice{-20.0, true});
    Click(u"matchLoudnessButton"_s);
    QCOMPARE(dialogs_.LoudnessRequests().size(), 1);
    const DialogService::LoudnessMatchRequest& request = dialogs_.LoudnessRequests().constFirst();
    QVERIFY(request.median && std::abs(*request.median + 24.0) < 0.05);
    QCOMPARE(request.messageCount, 4);
    QCOMPARE(request.selectedName, std::optional<QString>(u"b"_s));
    QCOMPARE(dialogs_.Texts(),
             QStringList{u"Messages matched to -20.0 LUFS: 1. The copies are in the folder "
                         "\"matched\" beside the originals, and the set now uses them."_s});
    const QString matchedB = waves_ + u"matched/b.wav"_s;
    QCOMPARE(Column(Column::kPathColumn), (QStringList{a, matchedB, peaky, blip}));
    QVERIFY(page_->IsSetChanged());
    QTRY_COMPARE_WITH_TIMEOUT(Column(Column::kLoudnessColumn).at(1), u"-20.0 LUFS"_s,
                              kMeasureTimeout);

    // The original of b again instead of its copy, then all of them to the median: the copy the
    // set no longer uses is replaced after a Yes.
    Click(u"removeButton"_s);
    Select(b);
    Click(u"addButton"_s);
    dialogs_.Clear();
    dialogs_.QueueLoudnessMatch(DialogService::LoudnessMatchChoice{-23.0, false});
    dialogs_.QueueAnswer(Answer::No);
    Click(u"matchLoudnessButton"_s);
    QCOMPARE(dialogs_.Texts(), QStringList{u"These files already exist:\n"_s + matchedB +
                                           u"\nDo you want to replace them?"_s});
    QVERIFY(!QFileInfo::exists(waves_ + u"matched/a.wav"_s));
    dialogs_.Clear();
    dialogs_.QueueLoudnessMatch(DialogService::LoudnessMatchChoice{-23.0, false});
    dialogs_.QueueAnswer(Answer::Yes);
    Click(u"matchLoudnessButton"_s);
    QCOMPARE(dialogs_.Texts().size(), 2);
    QCOMPARE(dialogs_.Texts().at(1),
             u"Messages matched to -23.0 LUFS: 3. The copies are in the folder \"matched\" beside "
             "the originals, and the set now uses them.\n"
             "blip: too short to measure (under 0.4 s); not matched.\n"
             "peaky: the true peak limit of -1 dBTP stopped the gain 9.2 dB short of the target "
             "(now -32.2 LUFS)."_s);
    QCOMPARE(Column(Column::kPathColumn),
             (QStringList{waves_ + u"matched/a.wav"_s, waves_ + u"matched/peaky.wav"_s, blip,
                          matchedB}));
    QTRY_COMPARE_WITH_TIMEOUT(
        Column(Column::kLoudnessColumn),
        (QStringList{u"-23.0 LUFS"_s, u"-32.2 LUFS"_s, u"too short"_s, u"-23.0 LUFS"_s}),
        kMeasureTimeout);
    QCOMPARE(test_files::ReadAll(a), originalA);
    QCOMPARE(WaveFormat::Examine(waves_ + u"matched/a.wav"_s), WaveFormat::Verdict::Supported);
    QCOMPARE(page_->Model().entries.at(0).size, quint32(QFileInfo(a).size()));
    QCOMPARE(dialogs_.PendingAnswers(), 0);

    // The original of a copy the set uses is left as it is rather than replace that copy.
    Select(a);
    Click(u"addButton"_s);
    list->setCurrentIndex(list->model()->index(4, 0));
    dialogs_.Clear();
    dialogs_.QueueLoudnessMatch(DialogService::LoudnessMatchChoice{-23.0, true});
    Click(u"matchLoudnessButton"_s);
    QCOMPARE(dialogs_.Texts(),
             QStringList{u"No message was matched to -23.0 LUFS.\n"
                         "a: its matched copy would replace "_s +
                         waves_ + u"matched/a.wav, which the set uses; not matched."_s});
    QCOMPARE(Column(Column::kPathColumn).last(), a);
}

VANTREL_TEST_MAIN(TestMessageSetLoudness)
#include "test_message_set_loudness.moc"
