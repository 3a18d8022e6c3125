#include "messageset/MessageSetPage.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "base/SettingsKeys.h"
#include "base/ToolState.h"
#include "browse/FolderListing.h"
#include "browse/FolderTree.h"
#include "messageset/MessageNameDelegate.h"
#include "setfile/FormatKilobytes.h"

using namespace Qt::StringLiterals;

namespace {
// Captions of the totals; the value labels' accessible names repeat them with the value.
const QString kCountCaption = u"Number of files"_s;
const QString kTotalCaption = u"Total size"_s;
const QString kFlashCardCaption = u"Flash card size"_s;
// The message list's columns hold a name of the longest kind (in average characters of the
// list's font), a size of hundreds of megabytes, and at the least a part of the path.
constexpr int kNameColumnChars = 18;
const QString kWidestSize = u"999,999 KB"_s;
// The loudness column holds a value or a word, in bold when the message is marked.
const QStringList kWidestLoudness{u"-99.9 LUFS"_s, u"too short"_s, u"unreadable"_s};
constexpr int kPathColumnChars = 12;
// The folder tree keeps room for this many average characters of a name.
constexpr int kTreeChars = 24;

QPushButton* MakeButton(const QString& text, const QString& objectName,
                        const QString& accessibleName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(accessibleName);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(const QString& text, const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAccessibleName(QString(text).remove(u'&').remove(u':'));
    return label;
}
}  // namespace

MessageSetPage::MessageSetPage(const PageContext& context, QWidget* parent)
    : PageDialog(context, parent), editor_(*this, context) {
    setObjectName(u"messageSetPage"_s);
    setAccessibleName(u"Message Sets"_s);
    BuildLayout();
    Connect();
}

MessageSetPage::~MessageSetPage() {
    // The children outlive this part of the page; none of their signals may reach it any more.
    tree_->removeEventFilter(this);
    messageList_->removeEventFilter(this);
    for (QObject* sender : std::initializer_list<QObject*>{
             tree_, messageList_, messageList_->selectionModel(), nameDelegate_, nameEdit_}) {
        sender->disconnect(this);
    }
    editor_.StopPlaying();
}

QString MessageSetPage::SaveSettings() {
    const QString file = context_.app.SettingsFilePath();
    const QString lastDir = tree_->PathOfItem(tree_->currentItem());
    QString reason;
    if (!settings_keys::kLastDir.Write(file, lastDir, &reason)) {
        return u"The last folder of the message set page could not be saved in %1: %2"_s.arg(
            QDir::toNativeSeparators(file), reason.simplified());
    }
    return {};
}

void MessageSetPage::BuildLayout() {
    tree_ = new FolderTree(this);
    tree_->setMinimumWidth(tree_->fontMetrics().averageCharWidth() * kTreeChars);

    auto* modeLabel = MakeLabel(u"Message set mode:"_s, u"modeLabel"_s, this);
    modeGroup_ = new QButtonGroup(this);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(modeLabel);
    const QList<std::pair<QString, QString>> modes{{u"&View"_s, u"viewModeRadio"_s},
                                                   {u"&Edit"_s, u"editModeRadio"_s},
                                                   {u"&New"_s, u"newModeRadio"_s}};
    for (int id = 0; id < modes.size(); ++id) {
        auto* radio = new QRadioButton(modes.at(id).first, this);
        radio->setObjectName(modes.at(id).second);
        radio->setAccessibleName(QString(modes.at(id).first).remove(u'&') + u" mode"_s);
        modeGroup_->addButton(radio, id);
        modeRow->addWidget(radio);
    }
    modeRow->addStretch();

    auto* nameLabel = MakeLabel(u"Message set"_s, u"setNameLabel"_s, this);
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(u"setNameEdit"_s);
    nameEdit_->setAccessibleName(u"Message set name"_s);
    nameLabel->setBuddy(nameEdit_);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(nameEdit_, 1);

    addButton_ = MakeButton(u">"_s, u"addButton"_s, u"Add message"_s, this);
    removeButton_ = MakeButton(u"<"_s, u"removeButton"_s, u"Remove message"_s, this);
    // Their labels have no letter to underline: keys of their own, which screen readers announce
    // as the buttons' key bindings.
    for (auto [button, key, what] :
         {std::tuple{addButton_, Qt::ALT | Qt::Key_Right, u"Add message"_s},
          std::tuple{removeButton_, Qt::ALT | Qt::Key_Left, u"Remove message"_s}}) {
        button->setShortcut(QKeySequence(key));
        button->setToolTip(
            u"%1 (%2)"_s.arg(what, button->shortcut().toString(QKeySequence::NativeText)));
    }
    clearButton_ = MakeButton(u"C&lear Set"_s, u"clearSetButton"_s, u"Clear Set"_s, this);
    importButton_ =
        MakeButton(u"&Import audio..."_s, u"importAudioButton"_s, u"Import audio"_s, this);
    upButton_ = MakeButton(u"&Up"_s, u"upButton"_s, u"Up"_s, this);
    downButton_ = MakeButton(u"&Down"_s, u"downButton"_s, u"Down"_s, this);
    playButton_ = MakeButton(u"&Play"_s, u"playButton"_s, u"Play"_s, this);
    stopButton_ = MakeButton(u"S&top"_s, u"stopButton"_s, u"Stop"_s, this);
    matchLoudnessButton_ =
        MakeButton(u"&Match loudness..."_s, u"matchLoudnessButton"_s, u"Match loudness"_s, this);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(MakeLabel(u"File:"_s, u"fileLabel"_s, this));
    buttonColumn->addWidget(addButton_);
    buttonColumn->addWidget(removeButton_);
    buttonColumn->addWidget(clearButton_);
    buttonColumn->addWidget(importButton_);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(MakeLabel(u"Order:"_s, u"orderLabel"_s, this));
    buttonColumn->addWidget(upButton_);
    buttonColumn->addWidget(downButton_);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(MakeLabel(u"Wave:"_s, u"waveLabel"_s, this));
    buttonColumn->addWidget(playButton_);
    buttonColumn->addWidget(stopButton_);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(MakeLabel(u"Loudness:"_s, u"loudnessLabel"_s, this));
    buttonColumn->addWidget(matchLoudnessButton_);
    buttonColumn->addStretch();

    messageList_ = new QTreeView(this);
    messageList_->setObjectName(u"messageList"_s);
    messageList_->setAccessibleName(u"Messages"_s);
    messageList_->setModel(&editor_.Table());
    messageList_->setRootIsDecorated(false);
    messageList_->setItemsExpandable(false);
    messageList_->setUniformRowHeights(true);
    messageList_->setSelectionMode(QAbstractItemView::SingleSelection);
    messageList_->setSortingEnabled(false);
    messageList_->header()->setSectionsClickable(false);
    // Name and size sized to the font; the path takes the rest of the width.
    QHeaderView* header = messageList_->header();
    const QFontMetrics metrics = messageList_->fontMetrics();
    const int charWidth = metrics.averageCharWidth();
    const int cellMargins =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, messageList_) + 1);
    header->setStretchLastSection(true);
    header->resizeSection(MessageSetTableModel::kNameColumn,
                          std::max(header->sectionSizeHint(MessageSetTableModel::kNameColumn),
                                   charWidth * kNameColumnChars));
    header->resizeSection(MessageSetTableModel::kSizeColumn,
                          std::max(header->sectionSizeHint(MessageSetTableModel::kSizeColumn),
                                   metrics.horizontalAdvance(kWidestSize) + cellMargins));
    QFont bold = messageList_->font();
    bold.setBold(true);
    int loudnessWidth = header->sectionSizeHint(MessageSetTableModel::kLoudnessColumn);
    for (const QString& text : kWidestLoudness) {
        loudnessWidth =
            std::max(loudnessWidth, QFontMetrics(bold).horizontalAdvance(text) + cellMargins);
    }
    header->resizeSection(MessageSetTableModel::kLoudnessColumn, loudnessWidth);
    const int pathWidth = std::max(header->sectionSizeHint(MessageSetTableModel::kPathColumn),
                                   charWidth * kPathColumnChars);
    messageList_->setMinimumWidth(header->sectionSize(MessageSetTableModel::kNameColumn) +
                                  header->sectionSize(MessageSetTableModel::kSizeColumn) +
                                  loudnessWidth + pathWidth + 2 * messageList_->frameWidth() +
                                  style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    messageList_->setEditTriggers(QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::EditKeyPressed);
    nameDelegate_ = new MessageNameDelegate(messageList_);
    messageList_->setItemDelegateForColumn(MessageSetTableModel::kNameColumn, nameDelegate_);

    auto* totals = new QGroupBox(u"Totals:"_s, this);
    totals->setObjectName(u"totalsGroup"_s);
    totals->setAccessibleName(u"Totals"_s);
    countLabel_ = MakeLabel(QString(), u"countValue"_s, totals);
    ShowValue(countLabel_, kCountCaption, u"0"_s);
    totalLabel_ = MakeLabel(QString(), u"totalSizeValue"_s, totals);
    ShowValue(totalLabel_, kTotalCaption, u"0 KB"_s);
    flashCardLabel_ = MakeLabel(QString(), u"flashCardSizeValue"_s, totals);
    ShowValue(flashCardLabel_, kFlashCardCaption, FormatKilobytes(0));
    auto* totalsGrid = new QGridLayout(totals);
    totalsGrid->addWidget(MakeLabel(kCountCaption + u':', u"countLabel"_s, totals), 0, 0);
    totalsGrid->addWidget(countLabel_, 0, 1, Qt::AlignRight);
    totalsGrid->addWidget(MakeLabel(kTotalCaption + u':', u"totalSizeLabel"_s, totals), 1, 0);
    totalsGrid->addWidget(totalLabel_, 1, 1, Qt::AlignRight);
    totalsGrid->addWidget(MakeLabel(kFlashCardCaption + u':', u"flashCardSizeLabel"_s, totals), 1,
                          2);
    totalsGrid->addWidget(flashCardLabel_, 1, 3, Qt::AlignRight);

    // The set's loudness spread; hidden while the set is empty.
    loudnessSpreadLabel_ = MakeLabel(QString(), u"loudnessSpread"_s, this);
    loudnessSpreadLabel_->setAccessibleName(u"Loudness spread"_s);
    loudnessSpreadLabel_->setWordWrap(true);
    loudnessSpreadLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loudnessSpreadLabel_->hide();

    // Says how a set shown from its set file alone was read; hidden otherwise.
    setFileStatusLabel_ = MakeLabel(QString(), u"setFileStatus"_s, this);
    setFileStatusLabel_->setAccessibleName(u"Set file status"_s);
    setFileStatusLabel_->setWordWrap(true);
    setFileStatusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFileStatusLabel_->hide();

    extractButton_ =
        MakeButton(u"Extr&act..."_s, u"extractButton"_s, u"Extract message set"_s, this);
    saveButton_ = MakeButton(u"&Save Message Set as..."_s, u"saveSetButton"_s,
                             u"Save Message Set as"_s, this);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(extractButton_);
    saveRow->addStretch();
    saveRow->addWidget(saveButton_);

    auto* middle = new QHBoxLayout;
    middle->addLayout(buttonColumn);
    middle->addWidget(messageList_, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(modeRow);
    right->addLayout(nameRow);
    right->addLayout(middle, 1);
    right->addWidget(loudnessSpreadLabel_);
    right->addWidget(setFileStatusLabel_);
    right->addWidget(totals);
    right->addLayout(saveRow);

    auto* columns = new QHBoxLayout(this);
    columns->addWidget(tree_, 2);
    columns->addLayout(right, 5);
}

void MessageSetPage::Connect() {
    const std::initializer_list<std::pair<QPushButton*, void (MessageSetEditor::*)()>> commands{
        {addButton_, &MessageSetEditor::AddMessage},
        {removeButton_, &MessageSetEditor::RemoveMessage},
        {clearButton_, &MessageSetEditor::ClearSet},
        {importButton_, &MessageSetEditor::ImportAudio},
        {extractButton_, &MessageSetEditor::ExtractSet},
        {upButton_, &MessageSetEditor::MoveUp},
        {downButton_, &MessageSetEditor::MoveDown},
        {playButton_, &MessageSetEditor::PlaySelected},
        {stopButton_, &MessageSetEditor::StopPlaying},
        {matchLoudnessButton_, &MessageSetEditor::MatchLoudness},
        {saveButton_, &MessageSetEditor::SaveSetAs}};
    for (const auto& [button, command] : commands) {
        connect(button, &QPushButton::clicked, this, [this, command] { (editor_.*command)(); });
    }
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) { editor_.EnterMode(id); });
    // Queued: a cancelled name edit is said once the editor has closed.
    connect(
        nameDelegate_, &MessageNameDelegate::EditCancelled, this,
        [this] { editor_.OnRenameCancelled(); }, Qt::QueuedConnection);
    const auto updateControls = [this] { editor_.UpdateControls(); };
    connect(messageList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            updateControls);
    connect(messageList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            updateControls);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this] { editor_.OnTreeSelectionChanged(); });
    connect(nameEdit_, &QLineEdit::textEdited, this, [this] { editor_.OnSetNameEdited(); });
    tree_->installEventFilter(this);
    messageList_->installEventFilter(this);
}

void MessageSetPage::InitialisePage() {
    PageDialog::InitialisePage();
    editor_.ShowFieldsInView();
    tree_->Initialize(true);
    tree_->fileFilter = FolderListing::kWaveAndSetFiles;
    editor_.UpdateControls();
    update();

    const QString lastDir = settings_keys::kLastDir.Read(context_.app.SettingsFilePath());
    tree_->SelectPath(lastDir);
}

void MessageSetPage::showEvent(QShowEvent* event) {
    PageDialog::showEvent(event);
    editor_.UpdateControls();
}

bool MessageSetPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == messageList_ || watched == tree_)) {
        editor_.OnFocus(watched == tree_ ? MessageSetEditor::Focus::Tree
                                         : MessageSetEditor::Focus::List);
        editor_.UpdateControls();
    }
    return PageDialog::eventFilter(watched, event);
}

QString MessageSetPage::TreePath() const {
    return tree_->PathOfItem(tree_->currentItem());
}

void MessageSetPage::RefreshTreeFolder() {
    if (QTreeWidgetItem* current = tree_->currentItem()) {
        tree_->RefreshItem(current->parent());
    }
}

int MessageSetPage::SelectedRow() const {
    const QModelIndexList selected = messageList_->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void MessageSetPage::SelectRow(int row) {
    if (row < 0) {
        messageList_->selectionModel()->clear();
    } else {
        messageList_->selectionModel()->setCurrentIndex(
            editor_.Table().index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void MessageSetPage::FocusList() {
    messageList_->setFocus();
}

QString MessageSetPage::SetNameText() const {
    return nameEdit_->text();
}

void MessageSetPage::ShowSetName(const QString& name) {
    nameEdit_->setText(name);
}

int MessageSetPage::CheckedMode() const {
    return modeGroup_->checkedId();
}

void MessageSetPage::ShowMode(int mode) {
    if (QAbstractButton* radio = modeGroup_->button(mode)) {
        radio->setChecked(true);
    }
}

void MessageSetPage::ShowTotals(const QString& count, const QString& totalSize) {
    ShowValue(countLabel_, kCountCaption, count);
    ShowValue(totalLabel_, kTotalCaption, totalSize);
}

void MessageSetPage::ShowFlashCardSize(const QString& size) {
    ShowValue(flashCardLabel_, kFlashCardCaption, size);
}

void MessageSetPage::ShowControlStates(const MessageSetControlStates& states) {
    playButton_->setEnabled(states.play);
    stopButton_->setEnabled(states.play);
    addButton_->setEnabled(states.add);
    removeButton_->setEnabled(states.remove);
    clearButton_->setEnabled(states.clear);
    upButton_->setEnabled(states.order);
    downButton_->setEnabled(states.order);
    saveButton_->setEnabled(states.save);
    extractButton_->setEnabled(states.extract);
    importButton_->setEnabled(states.importAudio);
    matchLoudnessButton_->setEnabled(states.matchLoudness);
}

void MessageSetPage::ShowTitle(const QString& title) {
    window()->setWindowTitle(title);
}

void MessageSetPage::ShowSetFileStatus(const QString& status) {
    setFileStatusLabel_->setText(status);
    setFileStatusLabel_->setAccessibleDescription(status);
    setFileStatusLabel_->setVisible(!status.isEmpty());
}

void MessageSetPage::ShowLoudnessSpread(const QString& spread) {
    loudnessSpreadLabel_->setText(spread);
    loudnessSpreadLabel_->setAccessibleDescription(spread);
    loudnessSpreadLabel_->setVisible(!spread.isEmpty());
}
