// The message set page: its modes, commands, messages and the binding of its fields, driven through
// its real widgets with scripted dialogs, real folders and wave files made here.

#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "base/PrivateProfile.h"
#include "base/ToolState.h"
#include "browse/FolderTree.h"
#include "messageset/MessageSetPage.h"
#include "setfile/SetFileWriter.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Answer = DialogService::Answer;
using Buttons = DialogService::Buttons;
using Icon = DialogService::Icon;

namespace {
const QString kNameRule =
    u"Messages names may not contain the ~ sign\n and may not be longer than 16 characters."_s;
const QString kSaveFirst = u"The message set has changed. Do you want to save it first?"_s;
constexpr int kPath = MessageSetTableModel::kPathColumn;
}  // namespace

class TestMessageSetPage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsInViewModeWithEmptyTotals();
    void buttonsFollowSelectionAndMode();
    void addRefusesLongNamesAndTheMessageAfterTheLimit();
    void addKeepsThePathAndAddsTheSameFileTwice();
    void addPutsTheSetNameBackIntoTheBox();
    void typingChangesTheSetOnlyOutsideViewMode();
    void removeWithNothingSelectedOnlyFocusesTheList();
    void removeDeletesTheSelectedEntry();
    void upOnTheFirstEntryStaysButCountsAsChange();
    void downMovesTheEntryAndItsRow();
    void renameFollowsTheNameRule();
    void renameInPlaceThroughTheList();
    void clearAsksAndDoesNothingOnAnEmptyList();
    void editWithWaveSelectedKeepsTheMode();
    void editWithMissingInfoFileKeepsTheMode();
    void viewShowsTheSelectedSet();
    void editLoadsASetAndIgnoresWaveSelections();
    void editAsksBeforeDroppingChangesAndCancelKeepsAll();
    void lastDirIsWrittenAndSelectedAgain();
    void addRefusesAnotherWaveFormat();
    void playTakesTheListThatHadTheFocusLast();
    void saveAsLobbyNamesTheSetAfterItsFile();
    void failedBuildKeepsChangedAndWritesNoInfoFile();
    void cancelledSaveDialogChangesNothing();
    void fromWaveFilesToASetFileAndBackInEditMode();
    void exitWithChangedSetSavesIt();
    void setFileStatusExtractAndImportAreWired();
    void screenReadersReadTheTotalsWithTheirCaptions();

private:
    void MakePage();
    QString MakeWave(const QString& name, qint64 dataBytes = 1000);
    // Writes an info file for a set file of this program, listing the given wave files.
    QString MakeSavedSet(const QString& setName, const QStringList& wavePaths);
    void Select(const QString& path);
    void Click(const QString& objectName);
    void ClickMode(const QString& radioName);
    QStringList ListColumn(int column) const;
    int RowCount() const { return page_->MessageList()->model()->rowCount(); }
    QModelIndex Row(int row) const { return page_->MessageList()->model()->index(row, 0); }
    void SetCurrentRow(int row) { page_->MessageList()->setCurrentIndex(Row(row)); }
    bool IsRowSelected(int row) const {
        return page_->MessageList()->selectionModel()->isRowSelected(row);
    }
    bool NoRowSelected() const {
        return page_->MessageList()->selectionModel()->selectedRows().isEmpty();
    }
    // A name typed into the list, as the list's editor gives it to the model.
    bool Rename(int row, const QString& name) {
        return page_->MessageList()->model()->setData(Row(row), name);
    }
    QString Shown(const QString& objectName) const;

    std::unique_ptr<QTemporaryDir> dir_;
    QString root_;  // with a final "/"
    std::unique_ptr<ToolState> tool_;
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;
    std::unique_ptr<MessageSetPage> page_;
};

void TestMessageSetPage::init() {
    dialogs_.Clear();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    root_ = QDir(dir_->path()).canonicalPath() + u'/';
    QVERIFY(QDir(root_).mkpath(u"start"_s));
    QVERIFY(QDir(root_).mkpath(u"waves"_s));
    tool_ = std::make_unique<ToolState>(u"Vantrel"_s);
    tool_->SetStartDirectory(root_ + u"start"_s);
    MakePage();
}

void TestMessageSetPage::cleanup() {
    page_.reset();
    tool_.reset();
    dir_.reset();
}

void TestMessageSetPage::MakePage() {
    page_ = std::make_unique<MessageSetPage>(PageContext{*tool_, dialogs_, progress_}, nullptr);
    page_->Builder().SetFinishedBarPause(std::chrono::milliseconds(0));
    page_->InitialisePage();
    page_->resize(760, 500);
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
}

QString TestMessageSetPage::MakeWave(const QString& name, qint64 dataBytes) {
    const QString path = root_ + u"waves/"_s + name;
    if (!wave_files::Write(path, wave_files::Make(dataBytes))) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QString TestMessageSetPage::MakeSavedSet(const QString& setName, const QStringList& wavePaths) {
    const QString setPath = root_ + u"waves/"_s + setName;
    QFile setFile(setPath);
    if (!setFile.open(QIODevice::WriteOnly)) {
        qFatal("cannot write %s", qPrintable(setPath));
    }
    MessageSetModel model;
    model.setName = setName;
    model.setFilePath = setPath;
    for (const QString& wave : wavePaths) {
        model.entries.append({QFileInfo(wave).baseName().toLower(),
                              static_cast<quint32>(QFileInfo(wave).size()), wave});
    }
    InfoFile info(u"Vantrel"_s);
    if (!info.WriteInfoFile(model, InfoFile::PathForSetFile(setPath))) {
        qFatal("cannot write the info file");
    }
    return setPath;
}

void TestMessageSetPage::Select(const QString& path) {
    QVERIFY2(page_->Tree()->SelectPath(path), qPrintable(path));
    QCOMPARE(page_->Tree()->PathOfItem(page_->Tree()->currentItem()), path);
}

void TestMessageSetPage::Click(const QString& objectName) {
    auto* button = page_->findChild<QPushButton*>(objectName);
    QVERIFY2(button != nullptr, qPrintable(objectName));
    QVERIFY2(button->isEnabled(), qPrintable(objectName + u" is disabled"_s));
    button->click();
}

void TestMessageSetPage::ClickMode(const QString& radioName) {
    auto* radio = page_->findChild<QRadioButton*>(radioName);
    QVERIFY2(radio != nullptr, qPrintable(radioName));
    radio->click();
}

QStringList TestMessageSetPage::ListColumn(int column) const {
    QStringList texts;
    const QAbstractItemModel* model = page_->MessageList()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        texts << model->index(i, column).data().toString();
    }
    return texts;
}

QString TestMessageSetPage::Shown(const QString& objectName) const {
    if (auto* label = page_->findChild<QLabel*>(objectName)) {
        return label->text();
    }
    if (auto* edit = page_->findChild<QLineEdit*>(objectName)) {
        return edit->text();
    }
    qFatal("no control %s", qPrintable(objectName));
}

void TestMessageSetPage::startsInViewModeWithEmptyTotals() {
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kViewMode));
    QVERIFY(page_->findChild<QRadioButton*>(u"viewModeRadio"_s)->isChecked());
    QCOMPARE(Shown(u"countValue"_s), u"0"_s);
    QCOMPARE(Shown(u"totalSizeValue"_s), u"0 KB"_s);
    QCOMPARE(Shown(u"flashCardSizeValue"_s), u"0 KB"_s);
    QCOMPARE(Shown(u"setNameEdit"_s), QString());
    QCOMPARE(page_->Tree()->fileFilter, 1);
    QCOMPARE(page_->Tree()->currentItem(), page_->Tree()->DrivesItem());
    const QAbstractItemModel* list = page_->MessageList()->model();
    QCOMPARE(list->headerData(0, Qt::Horizontal).toString(), u"Name"_s);
    QCOMPARE(list->headerData(1, Qt::Horizontal).toString(), u"Size"_s);
    QCOMPARE(list->headerData(2, Qt::Horizontal).toString(), u"Loudness"_s);
    QCOMPARE(list->headerData(3, Qt::Horizontal).toString(), u"Path"_s);
    // Name and size are sized to the font, so that a name of 16 characters and a size of
    // hundreds of megabytes show in full; the path takes the rest.
    const QTreeView* view = page_->MessageList();
    const QFontMetrics metrics = view->fontMetrics();
    const int cellMargins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    QVERIFY(view->columnWidth(0) >= metrics.horizontalAdvance(u"Evacuate floor 3"_s) + cellMargins);
    QVERIFY(view->columnWidth(1) >= metrics.horizontalAdvance(u"999,999 KB"_s) + cellMargins);
    QVERIFY(view->header()->stretchLastSection());
    QCOMPARE(page_->windowTitle(), ToolState::AppCaption());
    for (const QString& name :
         {u"addButton"_s, u"removeButton"_s, u"clearSetButton"_s, u"upButton"_s, u"downButton"_s,
          u"playButton"_s, u"stopButton"_s, u"saveSetButton"_s}) {
        QVERIFY2(!page_->findChild<QPushButton*>(name)->isEnabled(), qPrintable(name));
    }

    // The flash card size is read from the application each time the controls are updated.
    tool_->SetFlashCardSize(64u * 1024 * 1024);
    page_->Editor().UpdateControls();
    QCOMPARE(Shown(u"flashCardSizeValue"_s), u"65,536 KB"_s);
    tool_->SetFlashCardSize(0);
    page_->Editor().UpdateControls();
    QCOMPARE(Shown(u"flashCardSizeValue"_s), u"0 KB"_s);
    // A login elsewhere while the page was hidden shows as soon as the page is shown again.
    page_->hide();
    tool_->SetFlashCardSize(2048u * 1024);
    page_->show();
    QCOMPARE(Shown(u"flashCardSizeValue"_s), u"2,048 KB"_s);
}

void TestMessageSetPage::buttonsFollowSelectionAndMode() {
    const QString wave = MakeWave(u"bell.wav"_s);
    auto enabled = [this](const QString& name) {
        return page_->findChild<QPushButton*>(name)->isEnabled();
    };
    Select(wave);  // View mode: only play and stop
    QVERIFY(enabled(u"playButton"_s) && enabled(u"stopButton"_s));
    QVERIFY(!enabled(u"addButton"_s));

    ClickMode(u"newModeRadio"_s);
    QVERIFY(enabled(u"addButton"_s));
    QVERIFY(!enabled(u"saveSetButton"_s) && !enabled(u"clearSetButton"_s));
    // ">" and "<" have keys of their own, named in their tool tips and to screen readers.
    for (const auto& [name, key] :
         {std::pair{u"addButton"_s, u"Alt+Right"_s}, std::pair{u"removeButton"_s, u"Alt+Left"_s}}) {
        auto* button = page_->findChild<QPushButton*>(name);
        QVERIFY(button->toolTip().contains(key));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
        QCOMPARE(accessible->actionInterface()->keyBindingsForAction(
                     QAccessibleActionInterface::pressAction()),
                 QStringList{key});
    }
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    // Keys go to the focused control; a key of a button clicks it a moment later.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::AltModifier);
    QTRY_VERIFY(enabled(u"saveSetButton"_s) && enabled(u"clearSetButton"_s));
    QVERIFY(!enabled(u"removeButton"_s) && !enabled(u"upButton"_s));

    SetCurrentRow(0);
    QVERIFY(enabled(u"removeButton"_s) && enabled(u"upButton"_s) && enabled(u"downButton"_s));

    Select(root_ + u"waves/"_s);  // a folder: no wave in the tree
    QVERIFY(!enabled(u"addButton"_s));
    QVERIFY(enabled(u"playButton"_s));  // the list's selection still plays
}

void TestMessageSetPage::addRefusesLongNamesAndTheMessageAfterTheLimit() {
    // An open folder shows the files it held when it was opened.
    const QString tooLong = MakeWave(u"thirteenchars.wav"_s);
    const QString tilde = MakeWave(u"tilde~.wav"_s);
    const QString twelve = MakeWave(u"twelve_chars.wav"_s, 100);
    ClickMode(u"newModeRadio"_s);
    // 13 characters before ".wav" make a 17-character label.
    Select(tooLong);
    Click(u"addButton"_s);
    QCOMPARE(dialogs_.Texts(), QStringList{kNameRule});
    QVERIFY(page_->Model().entries.isEmpty());
    QVERIFY(!page_->IsSetChanged());
    Select(tilde);
    Click(u"addButton"_s);
    QCOMPARE(dialogs_.Texts().size(), 2);
    QVERIFY(page_->Model().entries.isEmpty());

    dialogs_.Clear();
    Select(twelve);
    for (int i = 0; i < MessageSetModel::kMaxMessages; ++i) {
        page_->Editor().AddMessage();
    }
    QCOMPARE(page_->Model().entries.size(), MessageSetModel::kMaxMessages);
    QVERIFY(dialogs_.Texts().isEmpty());
    Click(u"addButton"_s);
    QCOMPARE(dialogs_.Texts(),
             QStringList{u"Exceeding maximum number of messages (1023). File ignored."_s});
    QCOMPARE(dialogs_.Messages().constFirst().buttons, Buttons::Ok);
    QCOMPARE(page_->Model().entries.size(), MessageSetModel::kMaxMessages);
    QCOMPARE(RowCount(), MessageSetModel::kMaxMessages);
    QCOMPARE(Shown(u"countValue"_s), u"1023"_s);
}

void TestMessageSetPage::addKeepsThePathAndAddsTheSameFileTwice() {
    const QString wave = MakeWave(u"Fire Alarm.WAV"_s, 100000);
    ClickMode(u"newModeRadio"_s);
    Select(wave);
    Click(u"addButton"_s);
    Click(u"addButton"_s);
    QCOMPARE(page_->Model().entries.size(), 2);
    for (const MessageEntry& entry : page_->Model().entries) {
        QCOMPARE(entry.name, u"fire alarm"_s);
        QCOMPARE(entry.path, wave);  // real case: the file is found again by this path
        QCOMPARE(entry.size, 100044u);
    }
    QCOMPARE(ListColumn(0), (QStringList{u"fire alarm"_s, u"fire alarm"_s}));
    QCOMPARE(ListColumn(1), (QStringList{u"97 KB"_s, u"97 KB"_s}));
    QCOMPARE(ListColumn(kPath), (QStringList{wave, wave}));
    QCOMPARE(Shown(u"countValue"_s), u"2"_s);
    // set1 (4 bytes) + 4105 + 2 * (97 * 1024 - 20) = 202757, rounded up to 204800.
    QCOMPARE(Shown(u"totalSizeValue"_s), u"200 KB"_s);
    QVERIFY(page_->IsSetChanged());
    QVERIFY(NoRowSelected());
}

void TestMessageSetPage::addPutsTheSetNameBackIntoTheBox() {
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    auto* box = page_->findChild<QLineEdit*>(u"setNameEdit"_s);
    QCOMPARE(box->text(), u"set1"_s);
    box->selectAll();
    QTest::keyClicks(box, u"Lobby"_s);
    QCOMPARE(box->text(), u"Lobby"_s);
    QVERIFY(page_->IsSetChanged());
    Click(u"addButton"_s);
    QCOMPARE(box->text(), u"set1"_s);
    QCOMPARE(page_->Model().setName, u"set1"_s);
}

void TestMessageSetPage::typingChangesTheSetOnlyOutsideViewMode() {
    auto* box = page_->findChild<QLineEdit*>(u"setNameEdit"_s);
    QTest::keyClicks(box, u"typed"_s);
    QVERIFY(!page_->IsSetChanged());
    ClickMode(u"newModeRadio"_s);
    QVERIFY(!page_->IsSetChanged());  // showing "set1" is no change
    QTest::keyClicks(box, u"x"_s);
    QVERIFY(page_->IsSetChanged());
}

void TestMessageSetPage::removeWithNothingSelectedOnlyFocusesTheList() {
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    page_->findChild<QLineEdit*>(u"setNameEdit"_s)->setFocus();
    dialogs_.Clear();
    page_->MessageList()->clearSelection();
    page_->Editor().RemoveMessage();
    QCOMPARE(page_->Model().entries.size(), 1);
    QTRY_VERIFY(page_->MessageList()->hasFocus());
    QVERIFY(dialogs_.Texts().isEmpty());
}

void TestMessageSetPage::removeDeletesTheSelectedEntry() {
    const QString one = MakeWave(u"one.wav"_s);
    const QString two = MakeWave(u"two.wav"_s);
    ClickMode(u"newModeRadio"_s);
    Select(one);
    Click(u"addButton"_s);
    Select(two);
    Click(u"addButton"_s);
    SetCurrentRow(0);
    Click(u"removeButton"_s);
    QCOMPARE(page_->Model().entries.size(), 1);
    QCOMPARE(page_->Model().entries.constFirst().name, u"two"_s);
    QCOMPARE(ListColumn(0), QStringList{u"two"_s});
    QVERIFY(NoRowSelected());
    QCOMPARE(Shown(u"countValue"_s), u"1"_s);
    QVERIFY(!page_->findChild<QPushButton*>(u"removeButton"_s)->isEnabled());
}

void TestMessageSetPage::upOnTheFirstEntryStaysButCountsAsChange() {
    const QString setPath =
        MakeSavedSet(u"Order.SET"_s, {MakeWave(u"a.wav"_s), MakeWave(u"b.wav"_s)});
    Select(setPath);
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kEditMode));
    QVERIFY(!page_->IsSetChanged());
    SetCurrentRow(0);
    Click(u"upButton"_s);
    QCOMPARE(ListColumn(0), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(page_->MessageList()->currentIndex().row(), 0);
    QVERIFY(IsRowSelected(0));
    QVERIFY(page_->IsSetChanged());
}

void TestMessageSetPage::downMovesTheEntryAndItsRow() {
    const QString setPath = MakeSavedSet(
        u"Order.SET"_s, {MakeWave(u"a.wav"_s), MakeWave(u"b.wav"_s, 3000), MakeWave(u"c.wav"_s)});
    Select(setPath);
    ClickMode(u"editModeRadio"_s);
    SetCurrentRow(0);
    Click(u"downButton"_s);
    Click(u"downButton"_s);
    Click(u"downButton"_s);  // the last entry does not move further
    QCOMPARE(ListColumn(0), (QStringList{u"b"_s, u"c"_s, u"a"_s}));
    QCOMPARE(page_->Model().entries.at(2).name, u"a"_s);
    QCOMPARE(page_->Model().entries.at(0).size, 3044u);
    QCOMPARE(ListColumn(kPath).at(0), root_ + u"waves/b.wav"_s);
    QVERIFY(IsRowSelected(2));
    Click(u"upButton"_s);
    QCOMPARE(ListColumn(0), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
    QVERIFY(IsRowSelected(1));
}

void TestMessageSetPage::renameFollowsTheNameRule() {
    const QString setPath = MakeSavedSet(u"View.SET"_s, {MakeWave(u"v.wav"_s)});
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    dialogs_.Clear();

    QVERIFY(Rename(0, u"thirteenchars"_s));  // 13 characters: accepted here
    QCOMPARE(page_->Model().entries.at(0).name, u"thirteenchars"_s);
    QCOMPARE(ListColumn(0), QStringList{u"thirteenchars"_s});
    QVERIFY(!Rename(0, u"seventeen_chars__"_s));
    QVERIFY(!Rename(0, u"a~b"_s));
    page_->Editor().OnRenameCancelled();
    // A refusal is said once the list's editor has closed.
    QTRY_COMPARE(dialogs_.Texts(), (QStringList{kNameRule, kNameRule, kNameRule}));
    QCOMPARE(page_->Model().entries.at(0).name, u"thirteenchars"_s);
    QVERIFY(Rename(0, QString()));  // an empty name is taken
    QCOMPARE(page_->Model().entries.at(0).name, QString());

    // In View mode nothing changes and nothing is said.
    dialogs_.QueueAnswer(Answer::No);  // do not save the changed set
    Select(setPath);
    ClickMode(u"viewModeRadio"_s);
    dialogs_.Clear();
    QVERIFY(!page_->IsSetChanged());
    QVERIFY(!Rename(0, u"other"_s));
    QVERIFY(!Rename(0, u"a~b"_s));
    page_->Editor().OnRenameCancelled();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(page_->Model().entries.at(0).name, u"v"_s);
    QVERIFY(dialogs_.Texts().isEmpty());
    QVERIFY(!page_->IsSetChanged());
}

void TestMessageSetPage::renameInPlaceThroughTheList() {
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    QTreeView* list = page_->MessageList();
    const QModelIndex row = Row(0);

    auto edit = [&](const QString& text, Qt::Key endKey) {
        list->setCurrentIndex(row);
        list->edit(row);
        auto* editor = list->findChild<QLineEdit*>(u"messageNameEditor"_s);
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, endKey);
        QTRY_VERIFY(list->findChild<QLineEdit*>(u"messageNameEditor"_s) == nullptr);
    };
    edit(u"alarm"_s, Qt::Key_Return);
    QTRY_COMPARE(page_->Model().entries.at(0).name, u"alarm"_s);
    QCOMPARE(row.data().toString(), u"alarm"_s);
    edit(u"much_too_long_a_name"_s, Qt::Key_Return);
    QTRY_COMPARE(dialogs_.Texts(), QStringList{kNameRule});
    QCOMPARE(row.data().toString(), u"alarm"_s);
    edit(u"dropped"_s, Qt::Key_Escape);
    QTRY_COMPARE(dialogs_.Texts().size(), 2);
    QCOMPARE(row.data().toString(), u"alarm"_s);
    QCOMPARE(page_->Model().entries.at(0).name, u"alarm"_s);
}

void TestMessageSetPage::clearAsksAndDoesNothingOnAnEmptyList() {
    page_->Editor().ClearSet();  // OK on an empty list: nothing happens
    QCOMPARE(dialogs_.Messages().size(), 1);
    QCOMPARE(dialogs_.Messages().constFirst().text, u"Clear entire list?"_s);
    QCOMPARE(dialogs_.Messages().constFirst().buttons, Buttons::OkCancel);
    QCOMPARE(dialogs_.Messages().constFirst().icon, Icon::None);
    QVERIFY(!page_->IsSetChanged());

    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    Click(u"addButton"_s);
    dialogs_.Clear();
    dialogs_.QueueAnswer(Answer::Cancel);
    Click(u"clearSetButton"_s);
    QCOMPARE(page_->Model().entries.size(), 2);
    dialogs_.QueueAnswer(Answer::Ok);
    Click(u"clearSetButton"_s);
    QVERIFY(page_->Model().entries.isEmpty());
    QCOMPARE(RowCount(), 0);
    QCOMPARE(Shown(u"countValue"_s), u"0"_s);
    QCOMPARE(Shown(u"totalSizeValue"_s), u"0 KB"_s);
    QVERIFY(page_->IsSetChanged());
}

void TestMessageSetPage::editWithWaveSelectedKeepsTheMode() {
    Select(MakeWave(u"one.wav"_s));
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kViewMode));
    QVERIFY(page_->findChild<QRadioButton*>(u"viewModeRadio"_s)->isChecked());
    QVERIFY(page_->Model().entries.isEmpty());
    QVERIFY(dialogs_.Texts().isEmpty());
}

void TestMessageSetPage::editWithMissingInfoFileKeepsTheMode() {
    ClickMode(u"newModeRadio"_s);
    const QString setPath = root_ + u"waves/Orphan.SET"_s;
    QVERIFY(wave_files::Write(setPath, QByteArray(8192, '\0')));
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    dialogs_.QueueAnswer(Answer::No);  // the set changed; do not save it
    Select(setPath);
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(dialogs_.Texts(), (QStringList{kSaveFirst, u"File could not be opened or found: "_s +
                                                            root_ + u"waves/Orphan.nfo"_s}));
    QCOMPARE(dialogs_.Messages().constFirst().buttons, Buttons::YesNoCancel);
    QCOMPARE(dialogs_.Messages().constFirst().icon, Icon::Question);
    QVERIFY(page_->Model().entries.isEmpty());
    QCOMPARE(RowCount(), 0);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kNewMode));
    QVERIFY(page_->findChild<QRadioButton*>(u"newModeRadio"_s)->isChecked());
}

void TestMessageSetPage::viewShowsTheSelectedSet() {
    const QString one = MakeWave(u"one.wav"_s, 2048);
    const QString setPath = MakeSavedSet(u"Lobby.SET"_s, {one, MakeWave(u"two.wav"_s)});
    Select(setPath);
    QCOMPARE(ListColumn(0), (QStringList{u"one"_s, u"two"_s}));
    QCOMPARE(page_->Model().setName, u"Lobby.SET"_s);
    QCOMPARE(Shown(u"setNameEdit"_s), u"Lobby.SET"_s);
    QCOMPARE(Shown(u"countValue"_s), u"2"_s);
    QCOMPARE(page_->windowTitle(), ToolState::AppCaption() + u" - "_s + setPath);
    QVERIFY(!page_->IsSetChanged());

    // A missing wave file is reported and left out.
    QVERIFY(QFile::remove(one));
    Select(root_ + u"waves/"_s);
    QCOMPARE(RowCount(), 0);
    QCOMPARE(page_->windowTitle(), ToolState::AppCaption());
    Select(setPath);
    QCOMPARE(ListColumn(0), QStringList{u"two"_s});
    QCOMPARE(dialogs_.Texts(),
             QStringList{u"The wav file '"_s + one +
                         u"' does not exist\n and will be removed from the 'info' file"_s});
}

void TestMessageSetPage::editLoadsASetAndIgnoresWaveSelections() {
    const QString wave = MakeWave(u"extra.wav"_s);
    const QString first = MakeSavedSet(u"First.SET"_s, {MakeWave(u"a.wav"_s)});
    const QString second = MakeSavedSet(u"Second.SET"_s, {MakeWave(u"b.wav"_s), wave});
    Select(first);
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kEditMode));
    QCOMPARE(ListColumn(0), QStringList{u"a"_s});

    Select(wave);  // to add it; the set stays
    QCOMPARE(ListColumn(0), QStringList{u"a"_s});
    Click(u"addButton"_s);
    QCOMPARE(ListColumn(0), (QStringList{u"a"_s, u"extra"_s}));

    // Another set file: the changed set is offered for saving first, then the other set loads.
    dialogs_.QueueAnswer(Answer::No);
    Select(second);
    QCOMPARE(dialogs_.Texts(), QStringList{kSaveFirst});
    QCOMPARE(ListColumn(0), (QStringList{u"b"_s, u"extra"_s}));
    QCOMPARE(page_->Model().setFilePath, second);
    QVERIFY(!page_->IsSetChanged());
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kEditMode));
}

void TestMessageSetPage::editAsksBeforeDroppingChangesAndCancelKeepsAll() {
    const QString setPath = MakeSavedSet(u"Keep.SET"_s, {MakeWave(u"k.wav"_s)});
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    Select(setPath);
    dialogs_.QueueAnswer(Answer::Cancel);
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kNewMode));
    QVERIFY(page_->findChild<QRadioButton*>(u"newModeRadio"_s)->isChecked());
    QCOMPARE(ListColumn(0), QStringList{u"one"_s});
    QVERIFY(page_->IsSetChanged());

    // New drops the set after a No; View likewise.
    dialogs_.QueueAnswer(Answer::No);
    ClickMode(u"newModeRadio"_s);
    QVERIFY(page_->Model().entries.isEmpty());
    QCOMPARE(page_->Model().setName, u"set1"_s);
    QVERIFY(!page_->IsSetChanged());
    QCOMPARE(dialogs_.Messages().last().buttons, Buttons::YesNo);
}

void TestMessageSetPage::lastDirIsWrittenAndSelectedAgain() {
    const QString wave = MakeWave(u"Remember Me.wav"_s);
    Select(wave);
    QCOMPARE(page_->SaveSettings(), QString());
    page_.reset();
    QCOMPARE(PrivateProfile::ReadString(tool_->SettingsFilePath(), u"Message Set"_s, u"Last Dir"_s,
                                        QString(), 4096),
             wave);
    MakePage();
    QCOMPARE(page_->Tree()->PathOfItem(page_->Tree()->currentItem()), wave);
    QVERIFY(page_->findChild<QPushButton*>(u"playButton"_s)->isEnabled());
}

void TestMessageSetPage::addRefusesAnotherWaveFormat() {
    wave_files::Format stereo;
    stereo.channels = 2;
    stereo.samplesPerSecond = 48000;
    stereo.blockAlign = 4;
    const QString path = root_ + u"waves/stereo.wav"_s;
    QVERIFY(wave_files::Write(path, wave_files::Make(1000, stereo)));
    QVERIFY(wave_files::Write(root_ + u"waves/short.wav"_s, QByteArray(20, 'x')));
    ClickMode(u"newModeRadio"_s);
    Select(path);
    Click(u"addButton"_s);
    QCOMPARE(dialogs_.Texts().size(), 2);
    QVERIFY2(
        dialogs_.Texts().constFirst().endsWith(u"The selected file is stereo, 16 bits, 48kHz."_s),
        qPrintable(dialogs_.Texts().constFirst()));
    // The file decodes, so a converted copy is offered; declined, nothing is written.
    QCOMPARE(dialogs_.Messages().at(1).buttons, Buttons::YesNo);
    QVERIFY(!QFileInfo::exists(root_ + u"waves/converted"_s));
    QVERIFY(page_->Model().entries.isEmpty());
    QVERIFY(!page_->IsSetChanged());

    // A file too short to hold a format is refused without a word.
    Select(root_ + u"waves/short.wav"_s);
    Click(u"addButton"_s);
    QCOMPARE(dialogs_.Texts().size(), 2);
    QVERIFY(page_->Model().entries.isEmpty());
}

void TestMessageSetPage::playTakesTheListThatHadTheFocusLast() {
    const QString inTree = MakeWave(u"tree.wav"_s);
    const QString inList = MakeWave(u"list.wav"_s);
    {
        // A page never shown: neither list has had the focus, so nothing plays.
        MessageSetPage hidden(PageContext{*tool_, dialogs_, progress_}, nullptr);
        hidden.InitialisePage();
        QVERIFY(hidden.Tree()->SelectPath(inTree));
        hidden.Editor().PlaySelected();
        QVERIFY(hidden.Editor().LastPlayRequest().isEmpty());
    }
    ClickMode(u"newModeRadio"_s);
    Select(inList);
    Click(u"addButton"_s);
    Select(inTree);
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));

    page_->Tree()->setFocus();
    QTRY_VERIFY(page_->Tree()->hasFocus());
    Click(u"playButton"_s);
    QCOMPARE(page_->Editor().LastPlayRequest(), inTree);
    Click(u"stopButton"_s);
    QVERIFY(page_->Editor().LastPlayRequest().isEmpty());

    // The message list had the focus last, even after the Play button took it.
    page_->MessageList()->setFocus();
    QTRY_VERIFY(page_->MessageList()->hasFocus());
    page_->MessageList()->clearSelection();
    page_->Editor().PlaySelected();  // nothing selected there: nothing plays
    QVERIFY(page_->Editor().LastPlayRequest().isEmpty());
    SetCurrentRow(0);
    Click(u"playButton"_s);
    QCOMPARE(page_->Editor().LastPlayRequest(), inList);
    QVERIFY(dialogs_.Texts().isEmpty());
}

void TestMessageSetPage::saveAsLobbyNamesTheSetAfterItsFile() {
    const QString wave = MakeWave(u"one.wav"_s, 5000);
    ClickMode(u"newModeRadio"_s);
    Select(wave);
    Click(u"addButton"_s);
    const QString target = root_ + u"waves/Lobby.set"_s;
    dialogs_.QueueSaveFileName(target);
    Click(u"saveSetButton"_s);

    QCOMPARE(dialogs_.SaveRequests().size(), 1);
    const DialogService::SaveFileRequest& request = dialogs_.SaveRequests().constFirst();
    QCOMPARE(request.initialName, u"set1"_s);
    QCOMPARE(request.defaultExtension, u"set"_s);  // "Lobby" typed saves as Lobby.set
    QCOMPARE(request.filter, u"message set files (*.set)|*.set|All Files (*.*)|*.*||"_s);
    QVERIFY(request.confirmOverwrite);
    QVERIFY(dialogs_.Texts().isEmpty());

    QVERIFY(QFileInfo(target).size() > 0);
    QVERIFY(QFileInfo::exists(root_ + u"waves/Lobby.nfo"_s));
    QCOMPARE(page_->Model().setName, u"Lobby.set"_s);
    QCOMPARE(page_->Model().setFilePath, target);
    QCOMPARE(Shown(u"setNameEdit"_s), u"Lobby.set"_s);
    QCOMPARE(page_->windowTitle(), ToolState::AppCaption() + u" - "_s + target);
    QVERIFY(!page_->IsSetChanged());
    QCOMPARE(progress_.Last().title, u"Creating: "_s + target);

    // The folder of the selected wave file was listed again and shows the new set file; the wave
    // file is still the selected item.
    QCOMPARE(page_->Tree()->PathOfItem(page_->Tree()->currentItem()), wave);
    QStringList labels;
    QTreeWidgetItem* folder = page_->Tree()->currentItem()->parent();
    for (int i = 0; i < folder->childCount(); ++i) {
        labels << folder->child(i)->text(0);
    }
    QVERIFY2(labels.contains(u"lobby.set"_s), qPrintable(labels.join(u", "_s)));
}

void TestMessageSetPage::failedBuildKeepsChangedAndWritesNoInfoFile() {
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    const QString target = root_ + u"missing/Lobby.SET"_s;
    dialogs_.QueueSaveFileName(target);
    Click(u"saveSetButton"_s);
    QCOMPARE(dialogs_.Texts(), QStringList{u"Could not create file: "_s + target});
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo::exists(root_ + u"missing/Lobby.nfo"_s));
    QVERIFY(page_->IsSetChanged());  // the set is not on disk: leaving must still offer to save
    QCOMPARE(page_->Model().setName, u"Lobby.SET"_s);
    QCOMPARE(page_->Model().entries.size(), 1);
}

void TestMessageSetPage::cancelledSaveDialogChangesNothing() {
    ClickMode(u"newModeRadio"_s);
    Select(MakeWave(u"one.wav"_s));
    Click(u"addButton"_s);
    const size_t progressWindows = progress_.Logs().size();
    dialogs_.QueueSaveFileName(std::nullopt);
    Click(u"saveSetButton"_s);
    QVERIFY(page_->IsSetChanged());
    QCOMPARE(page_->Model().setName, u"set1"_s);
    QVERIFY(page_->Model().setFilePath.isEmpty());
    QCOMPARE(progress_.Logs().size(), progressWindows);
}

void TestMessageSetPage::fromWaveFilesToASetFileAndBackInEditMode() {
    const QString fire = MakeWave(u"Fire Alarm.WAV"_s, 200000);
    const QString evacuate = MakeWave(u"evacuate.wav"_s, 90000);
    const QString chime = MakeWave(u"chime.wav"_s, 300);
    ClickMode(u"newModeRadio"_s);
    for (const QString& wave : {fire, evacuate, chime}) {
        Select(wave);
        Click(u"addButton"_s);
    }
    QVERIFY(Rename(2, u"Ding Dong"_s));
    SetCurrentRow(1);
    Click(u"upButton"_s);
    const QList<MessageEntry> expectedEntries{
        {u"evacuate"_s, 90044, evacuate},
        {u"fire alarm"_s, 200044, fire},
        {u"Ding Dong"_s, 344, chime},
    };
    QCOMPARE(page_->Model().entries, expectedEntries);

    const QString target = root_ + u"waves/Lobby.SET"_s;
    dialogs_.QueueSaveFileName(target);
    Click(u"saveSetButton"_s);
    QVERIFY(dialogs_.Texts().isEmpty());

    // The file holds exactly what the builder's writer makes of the same set.
    QBuffer expected;
    QVERIFY(expected.open(QIODevice::ReadWrite));
    QVERIFY(SetFileWriter().Write(expected, u"Lobby.SET"_s, expectedEntries).Ok());
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.data());

    // Reopened: a new set first, then the saved one in Edit mode.
    ClickMode(u"newModeRadio"_s);
    QVERIFY(page_->Model().entries.isEmpty());
    Select(target);
    ClickMode(u"editModeRadio"_s);
    QCOMPARE(page_->CurrentMode(), int(MessageSetPage::kEditMode));
    QCOMPARE(page_->Model().entries, expectedEntries);
    QCOMPARE(ListColumn(0), (QStringList{u"evacuate"_s, u"fire alarm"_s, u"Ding Dong"_s}));
    QCOMPARE(page_->Model().setName, u"Lobby.SET"_s);
    QCOMPARE(page_->Model().setFilePath, target);
    QVERIFY(!page_->IsSetChanged());
    QVERIFY(dialogs_.Texts().isEmpty());
}

void TestMessageSetPage::exitWithChangedSetSavesIt() {
    page_.reset();
    const QString wave = MakeWave(u"one.wav"_s);
    MainWindow window(PageContext{*tool_, dialogs_, progress_});
    window.show();
    window.ShowPage(MainWindow::kMessageSetPage);
    MessageSetPage* page = window.GetMessageSetPage();
    page->Builder().SetFinishedBarPause(std::chrono::milliseconds(0));
    page->findChild<QRadioButton*>(u"newModeRadio"_s)->click();
    QVERIFY(page->Tree()->SelectPath(wave));
    page->findChild<QPushButton*>(u"addButton"_s)->click();
    QVERIFY(page->IsSetChanged());

    const QString target = root_ + u"waves/AtExit.SET"_s;
    dialogs_.Clear();
    dialogs_.QueueAnswer(Answer::Yes);  // exit
    dialogs_.QueueAnswer(Answer::Yes);  // save first
    dialogs_.QueueSaveFileName(target);
    QVERIFY(window.close());
    QCOMPARE(dialogs_.Texts(),
             (QStringList{u"Are you sure you want to exit ?"_s,
                          u"The message set has changed. Do you want to save it first ?"_s}));
    QVERIFY(QFileInfo(target).size() > 0);
    QVERIFY(QFileInfo::exists(root_ + u"waves/AtExit.nfo"_s));
    QVERIFY(!page->IsSetChanged());
    QCOMPARE(dialogs_.PendingAnswers(), 0);
}

void TestMessageSetPage::screenReadersReadTheTotalsWithTheirCaptions() {
    auto accessibleName = [this](const QString& objectName) {
        QAccessibleInterface* label =
            QAccessible::queryAccessibleInterface(page_->findChild<QLabel*>(objectName));
        return label->text(QAccessible::Name);
    };
    QCOMPARE(accessibleName(u"countValue"_s), u"Number of files: 0"_s);
    QCOMPARE(accessibleName(u"flashCardSizeValue"_s), u"Flash card size: 0 KB"_s);

    const QString wave = MakeWave(u"bell.wav"_s, 160000);
    ClickMode(u"newModeRadio"_s);
    Select(wave);
    Click(u"addButton"_s);
    tool_->SetFlashCardSize(64u * 1024 * 1024);
    page_->Editor().UpdateControls();
    QCOMPARE(accessibleName(u"countValue"_s), u"Number of files: 1"_s);
    QCOMPARE(accessibleName(u"totalSizeValue"_s), u"Total size: "_s + Shown(u"totalSizeValue"_s));
    QVERIFY(Shown(u"totalSizeValue"_s) != u"0 KB"_s);
    QCOMPARE(accessibleName(u"flashCardSizeValue"_s), u"Flash card size: 65,536 KB"_s);
    // The box's caption names the box.
    QCOMPARE(page_->findChild<QLabel*>(u"setNameLabel"_s)->buddy(),
             page_->findChild<QLineEdit*>(u"setNameEdit"_s));
}

VANTREL_TEST_MAIN(TestMessageSetPage)
#include "test_message_set_page.moc"

void TestMessageSetPage::setFileStatusExtractAndImportAreWired() {
    const QString wave = MakeWave(u"bell.wav"_s, 5000);
    const QString setPath = root_ + u"waves/Orphan.SET"_s;
    QVERIFY(SetFileWriter().WriteFile(setPath, u"Orphan.SET"_s, {{u"bell"_s, 5044, wave}}).Ok());
    auto* extract = page_->findChild<QPushButton*>(u"extractButton"_s);
    auto* import = page_->findChild<QPushButton*>(u"importAudioButton"_s);
    auto* status = page_->findChild<QLabel*>(u"setFileStatus"_s);
    QVERIFY(extract && import && status);
    QVERIFY(!extract->isEnabled() && !import->isEnabled() && status->isHidden());

    Select(setPath);  // View mode, no info file
    QCOMPARE(ListColumn(0), QStringList{u"bell"_s});
    QVERIFY(status->isVisible());
    QVERIFY(status->text().startsWith(u"Shown from the set file"_s));
    QCOMPARE(status->accessibleDescription(), status->text());
    QVERIFY(extract->isEnabled() && !import->isEnabled());

    dialogs_.QueueChosenPath(root_ + u"extracted"_s);
    // Alt+A, as the window's "Exit" keeps Alt+X.
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(page_->findChild<QRadioButton*>(u"editModeRadio"_s)->isChecked());
    QVERIFY(dialogs_.Texts().isEmpty());
    QCOMPARE(ListColumn(kPath), QStringList{root_ + u"extracted/bell.wav"_s});
    QVERIFY(status->isHidden());
    QVERIFY(!extract->isEnabled() && import->isEnabled());

    dialogs_.QueueChosenPath(wave);  // a wave of the message format is added as it is
    Click(u"importAudioButton"_s);
    QCOMPARE(ListColumn(kPath), (QStringList{root_ + u"extracted/bell.wav"_s, wave}));
    QVERIFY(page_->IsSetChanged());
}
