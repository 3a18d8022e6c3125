#include "messageset/MessageSetPage.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>

#include "app/DialogService.h"
#include "app/PrivateProfile.h"
#include "app/ToolApp.h"
#include "app/WaitCursor.h"
#include "browse/FolderListing.h"
#include "browse/FolderTree.h"
#include "messageset/FormatKilobytes.h"
#include "messageset/MessageNameDelegate.h"
#include "messageset/MessageNameRule.h"
#include "messageset/MessageSetControlStates.h"
#include "messageset/MessageSetTexts.h"
#include "messageset/WaveFormat.h"

using namespace Qt::StringLiterals;

namespace {
const QString kSettingsSection = u"Message Set"_s;
const QString kLastDirKey = u"Last Dir"_s;
// "Last Dir" is read with room for a path of any length the tree can give.
constexpr int kLastDirBufferSize = 32768;

enum Column { kNameColumn = 0, kSizeColumn = 1, kPathColumn = 2 };

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
    : PageDialog(context, parent),
      infoFile_(context.dialogs, context.app.ProgramName()),
      builder_(context.dialogs, context.progress) {
    setObjectName(u"messageSetPage"_s);
    setAccessibleName(u"Message Sets"_s);
    BuildLayout();
}

MessageSetPage::~MessageSetPage() {
    // The children outlive this part of the page; none of their signals may reach it any more.
    tree_->removeEventFilter(this);
    messageList_->removeEventFilter(this);
    tree_->disconnect(this);
    messageList_->disconnect(this);
    nameDelegate_->disconnect(this);
    nameEdit_->disconnect(this);
    StopPlaying();
}

QString MessageSetPage::SaveSettings() {
    const QString file = context_.app.SettingsFilePath();
    const QString lastDir = tree_->PathOfItem(tree_->currentItem());
    QString reason;
    if (!PrivateProfile::WriteString(file, kSettingsSection, kLastDirKey, lastDir, &reason)) {
        return u"The last folder of the message set page could not be saved in %1: %2"_s.arg(
            QDir::toNativeSeparators(file), reason.simplified());
    }
    return {};
}

void MessageSetPage::BuildLayout() {
    tree_ = new FolderTree(this);
    tree_->setMinimumWidth(180);

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
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(nameEdit_, 1);

    addButton_ = MakeButton(u">"_s, u"addButton"_s, u"Add message"_s, this);
    removeButton_ = MakeButton(u"<"_s, u"removeButton"_s, u"Remove message"_s, this);
    clearButton_ = MakeButton(u"C&lear Set"_s, u"clearSetButton"_s, u"Clear Set"_s, this);
    upButton_ = MakeButton(u"&Up"_s, u"upButton"_s, u"Up"_s, this);
    downButton_ = MakeButton(u"&Down"_s, u"downButton"_s, u"Down"_s, this);
    playButton_ = MakeButton(u"&Play"_s, u"playButton"_s, u"Play"_s, this);
    stopButton_ = MakeButton(u"S&top"_s, u"stopButton"_s, u"Stop"_s, this);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(MakeLabel(u"File:"_s, u"fileLabel"_s, this));
    buttonColumn->addWidget(addButton_);
    buttonColumn->addWidget(removeButton_);
    buttonColumn->addWidget(clearButton_);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(MakeLabel(u"Order:"_s, u"orderLabel"_s, this));
    buttonColumn->addWidget(upButton_);
    buttonColumn->addWidget(downButton_);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(MakeLabel(u"Wave:"_s, u"waveLabel"_s, this));
    buttonColumn->addWidget(playButton_);
    buttonColumn->addWidget(stopButton_);
    buttonColumn->addStretch();

    messageList_ = new QTreeWidget(this);
    messageList_->setObjectName(u"messageList"_s);
    messageList_->setAccessibleName(u"Messages"_s);
    messageList_->setColumnCount(3);
    messageList_->setRootIsDecorated(false);
    messageList_->setItemsExpandable(false);
    messageList_->setUniformRowHeights(true);
    messageList_->setSelectionMode(QAbstractItemView::SingleSelection);
    messageList_->setSortingEnabled(false);
    messageList_->header()->setSectionsClickable(false);
    messageList_->header()->setStretchLastSection(false);
    messageList_->setEditTriggers(QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::EditKeyPressed);
    nameDelegate_ = new MessageNameDelegate(messageList_);
    messageList_->setItemDelegateForColumn(kNameColumn, nameDelegate_);

    auto* totals = new QGroupBox(u"Totals:"_s, this);
    totals->setObjectName(u"totalsGroup"_s);
    totals->setAccessibleName(u"Totals"_s);
    countLabel_ = MakeLabel(countText_, u"countValue"_s, totals);
    countLabel_->setAccessibleName(u"Number of files"_s);
    totalLabel_ = MakeLabel(totalText_, u"totalSizeValue"_s, totals);
    totalLabel_->setAccessibleName(u"Total size"_s);
    flashCardLabel_ = MakeLabel(FormatKilobytes(0), u"flashCardSizeValue"_s, totals);
    flashCardLabel_->setAccessibleName(u"Flash card size"_s);
    auto* totalsGrid = new QGridLayout(totals);
    totalsGrid->addWidget(MakeLabel(u"Number of files:"_s, u"countLabel"_s, totals), 0, 0);
    totalsGrid->addWidget(countLabel_, 0, 1, Qt::AlignRight);
    totalsGrid->addWidget(MakeLabel(u"Total size:"_s, u"totalSizeLabel"_s, totals), 1, 0);
    totalsGrid->addWidget(totalLabel_, 1, 1, Qt::AlignRight);
    totalsGrid->addWidget(MakeLabel(u"Flash card size:"_s, u"flashCardSizeLabel"_s, totals), 1, 2);
    totalsGrid->addWidget(flashCardLabel_, 1, 3, Qt::AlignRight);

    saveButton_ = MakeButton(u"&Save Message Set as..."_s, u"saveSetButton"_s,
                             u"Save Message Set as"_s, this);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(saveButton_);

    auto* middle = new QHBoxLayout;
    middle->addLayout(buttonColumn);
    middle->addWidget(messageList_, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(modeRow);
    right->addLayout(nameRow);
    right->addLayout(middle, 1);
    right->addWidget(totals);
    right->addLayout(saveRow);

    auto* columns = new QHBoxLayout(this);
    columns->addWidget(tree_, 2);
    columns->addLayout(right, 5);

    connect(addButton_, &QPushButton::clicked, this, &MessageSetPage::AddMessage);
    connect(removeButton_, &QPushButton::clicked, this, &MessageSetPage::RemoveMessage);
    connect(clearButton_, &QPushButton::clicked, this, &MessageSetPage::ClearSet);
    connect(upButton_, &QPushButton::clicked, this, &MessageSetPage::MoveUp);
    connect(downButton_, &QPushButton::clicked, this, &MessageSetPage::MoveDown);
    connect(playButton_, &QPushButton::clicked, this, &MessageSetPage::PlaySelected);
    connect(stopButton_, &QPushButton::clicked, this, &MessageSetPage::StopPlaying);
    connect(saveButton_, &QPushButton::clicked, this, &MessageSetPage::SaveSetAs);
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        switch (id) {
            case kViewMode:
                EnterViewMode();
                break;
            case kEditMode:
                EnterEditMode();
                break;
            default:
                EnterNewMode();
                break;
        }
    });
    // Queued: the name is judged, and a refusal shown, once the editor has closed.
    connect(nameDelegate_, &MessageNameDelegate::EditEnded, this, &MessageSetPage::RenameMessage,
            Qt::QueuedConnection);
    connect(messageList_, &QTreeWidget::itemSelectionChanged, this,
            &MessageSetPage::UpdateControls);
    connect(messageList_, &QTreeWidget::currentItemChanged, this, &MessageSetPage::UpdateControls);
    connect(tree_, &QTreeWidget::currentItemChanged, this, &MessageSetPage::OnTreeSelectionChanged);
    // Only what the user types marks the set as changed; showing the fields does not.
    connect(nameEdit_, &QLineEdit::textEdited, this, [this] {
        if (mode_ != kViewMode) {
            model_.changed = true;
            UpdateControls();
        }
    });
    tree_->installEventFilter(this);
    messageList_->installEventFilter(this);
}

void MessageSetPage::InitialisePage() {
    PageDialog::InitialisePage();
    ShowFieldsInControls();
    tree_->Initialize(true);
    tree_->fileFilter = FolderListing::kWaveAndSetFiles;

    messageList_->setHeaderLabels({u"Name"_s, u"Size"_s, u"Path"_s});
    messageList_->headerItem()->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    messageList_->setColumnWidth(kNameColumn, 125);
    messageList_->setColumnWidth(kSizeColumn, 65);
    messageList_->setColumnWidth(kPathColumn, 120);

    UpdateControls();
    update();

    const QString lastDir =
        PrivateProfile::ReadString(context_.app.SettingsFilePath(), kSettingsSection, kLastDirKey,
                                   QString(), kLastDirBufferSize);
    tree_->SelectPath(lastDir);
}

void MessageSetPage::showEvent(QShowEvent* event) {
    PageDialog::showEvent(event);
    UpdateControls();
}

bool MessageSetPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == messageList_) {
            listHadFocus_ = true;
            treeHadFocus_ = false;
            UpdateControls();
        } else if (watched == tree_) {
            treeHadFocus_ = true;
            listHadFocus_ = false;
            UpdateControls();
        }
    }
    return PageDialog::eventFilter(watched, event);
}

void MessageSetPage::ShowFieldsInControls() {
    countLabel_->setText(countText_);
    totalLabel_->setText(totalText_);
    if (nameEdit_->text() != model_.setName) {
        nameEdit_->setText(model_.setName);
    }
    if (QAbstractButton* radio = modeGroup_->button(mode_)) {
        radio->setChecked(true);
    }
}

void MessageSetPage::TakeControlsIntoFields() {
    countText_ = countLabel_->text();
    totalText_ = totalLabel_->text();
    model_.setName = nameEdit_->text();
    if (modeGroup_->checkedId() >= 0) {
        mode_ = modeGroup_->checkedId();
    }
}

void MessageSetPage::UpdateControls() {
    flashCardLabel_->setText(FormatKilobytes(context_.app.FlashCardSize()));
    const bool listSelected = SelectedRow() >= 0;
    const bool treeWave = FolderListing::IsWaveName(tree_->PathOfItem(tree_->currentItem()));
    const auto states =
        MessageSetControlStates::For(listSelected, treeWave, !model_.entries.isEmpty(), mode_);
    playButton_->setEnabled(states.play);
    stopButton_->setEnabled(states.play);
    addButton_->setEnabled(states.add);
    removeButton_->setEnabled(states.remove);
    clearButton_->setEnabled(states.clear);
    upButton_->setEnabled(states.order);
    downButton_->setEnabled(states.order);
    saveButton_->setEnabled(states.save);

    QString title = ToolApp::AppCaption();
    if (!model_.setFilePath.isEmpty()) {
        title += u" - "_s + model_.setFilePath;
    }
    window()->setWindowTitle(title);
}

void MessageSetPage::UpdateTotals() {
    countText_ = QString::number(model_.entries.size());
    totalText_ = FormatKilobytes(static_cast<quint64>(model_.EstimateSetSize()));
    ShowFieldsInControls();
}

int MessageSetPage::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = messageList_->selectedItems();
    return selected.isEmpty() ? -1 : messageList_->indexOfTopLevelItem(selected.constFirst());
}

QTreeWidgetItem* MessageSetPage::MakeRow(const MessageEntry& entry) const {
    auto* row = new QTreeWidgetItem(
        QStringList{entry.name, FormatKilobytes(entry.size), QDir::toNativeSeparators(entry.path)});
    row->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                  Qt::ItemNeverHasChildren);
    return row;
}

void MessageSetPage::DeleteAllEntries() {
    model_.entries.clear();
    messageList_->clear();
}

void MessageSetPage::FillList() {
    QList<QTreeWidgetItem*> rows;
    rows.reserve(model_.entries.size());
    for (const MessageEntry& entry : std::as_const(model_.entries)) {
        rows.append(MakeRow(entry));
    }
    messageList_->addTopLevelItems(rows);
}

void MessageSetPage::AddMessage() {
    if (model_.IsFull()) {
        context_.dialogs.Inform(message_set_texts::TooManyMessages(MessageSetModel::kMaxMessages));
        return;
    }
    QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr || !message_name_rule::IsAcceptableName(item->text(0))) {
        context_.dialogs.Inform(message_set_texts::NameRule());
        return;
    }
    // The path keeps its real case; only the message's name is lower case.
    const QString path = tree_->PathOfItem(item);
    if (path.isEmpty() || !CheckWaveFormat(path, context_.dialogs)) {
        UpdateControls();
        return;
    }
    MessageEntry entry;
    entry.name = message_name_rule::NameForWaveFile(path);
    entry.path = path;
    {
        const WaitCursor waitCursor;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            context_.dialogs.Inform(message_set_texts::CouldNotFind(path));
            return;
        }
        entry.size =
            static_cast<quint32>(qMin<qint64>(file.size(), std::numeric_limits<quint32>::max()));
        file.close();
        model_.entries.append(entry);
        messageList_->addTopLevelItem(MakeRow(entry));
        UpdateTotals();
        model_.changed = true;
    }
    UpdateControls();
}

void MessageSetPage::RemoveMessage() {
    const int row = SelectedRow();
    if (row < 0) {
        messageList_->setFocus();
    } else {
        const WaitCursor waitCursor;
        model_.entries.removeAt(row);
        delete messageList_->takeTopLevelItem(row);
        messageList_->clearSelection();
        messageList_->setCurrentItem(nullptr);
        messageList_->setFocus();
        model_.changed = true;
    }
    UpdateTotals();
    TakeControlsIntoFields();
    UpdateControls();
}

void MessageSetPage::ClearSet() {
    if (context_.dialogs.ShowMessage(message_set_texts::ClearEntireList(),
                                     DialogService::Buttons::OkCancel,
                                     DialogService::Icon::None) != DialogService::Answer::Ok) {
        return;
    }
    if (model_.entries.isEmpty()) {
        return;
    }
    const WaitCursor waitCursor;
    DeleteAllEntries();
    model_.changed = true;
    UpdateTotals();
    UpdateControls();
}

void MessageSetPage::MoveUp() {
    Move(-1);
}

void MessageSetPage::MoveDown() {
    Move(1);
}

void MessageSetPage::Move(int offset) {
    if (model_.entries.size() < 2) {
        return;
    }
    const int row = SelectedRow();
    if (row < 0) {
        messageList_->setFocus();
        return;
    }
    const int target = row + offset;
    if (target >= 0 && target < model_.entries.size()) {
        model_.entries.move(row, target);
        delete messageList_->takeTopLevelItem(row);
        QTreeWidgetItem* moved = MakeRow(model_.entries.at(target));
        messageList_->insertTopLevelItem(target, moved);
        messageList_->setCurrentItem(moved);
    }
    messageList_->setFocus();
    model_.changed = true;
    UpdateControls();
}

void MessageSetPage::RenameMessage(int row, const std::optional<QString>& newText) {
    if (mode_ != kViewMode && row >= 0 && row < model_.entries.size()) {
        if (!newText.has_value() || !message_name_rule::IsAcceptableName(*newText)) {
            context_.dialogs.Inform(message_set_texts::NameRule());
        } else {
            model_.entries[row].name = *newText;
            messageList_->topLevelItem(row)->setText(kNameColumn, *newText);
            model_.changed = true;
        }
    }
    UpdateControls();
}

void MessageSetPage::OnTreeSelectionChanged() {
    TakeControlsIntoFields();
    if (mode_ == kViewMode) {
        EnterViewMode();
    } else if (mode_ == kEditMode && !saving_) {
        EnterEditMode();
    }
    UpdateControls();
}

DialogService::Answer MessageSetPage::AskToSaveChanges(bool withCancel) {
    const DialogService::Answer answer = context_.dialogs.ShowMessage(
        message_set_texts::SaveChangedSetFirst(),
        withCancel ? DialogService::Buttons::YesNoCancel : DialogService::Buttons::YesNo,
        DialogService::Icon::Question);
    if (answer == DialogService::Answer::Yes) {
        SaveSetAs();
    }
    return answer;
}

void MessageSetPage::EnterViewMode() {
    const QString path = tree_->PathOfItem(tree_->currentItem());
    if (model_.changed) {
        AskToSaveChanges(false);
    }
    DeleteAllEntries();
    model_.setFilePath.clear();
    if (FolderListing::IsSetName(path)) {
        infoFile_.ReadInfoFile(model_, InfoFile::PathForSetFile(path));
        FillList();
    }
    model_.changed = false;
    mode_ = kViewMode;
    UpdateTotals();
    UpdateControls();
    ShowFieldsInControls();
}

void MessageSetPage::EnterEditMode() {
    const int previous = mode_;
    const QString path = tree_->PathOfItem(tree_->currentItem());
    if (!FolderListing::IsSetName(path)) {
        mode_ = previous;
    } else {
        if (model_.changed && AskToSaveChanges(true) == DialogService::Answer::Cancel) {
            mode_ = previous;
            ShowFieldsInControls();
            return;
        }
        DeleteAllEntries();
        const WaitCursor waitCursor;
        const bool read = infoFile_.ReadInfoFile(model_, InfoFile::PathForSetFile(path));
        FillList();
        if (read) {
            model_.changed = false;
            mode_ = kEditMode;
        } else {
            mode_ = previous;
        }
    }
    UpdateTotals();
    UpdateControls();
    ShowFieldsInControls();
}

void MessageSetPage::EnterNewMode() {
    if (model_.changed) {
        AskToSaveChanges(false);
    }
    DeleteAllEntries();
    model_.setName = u"set1"_s;
    model_.changed = false;
    mode_ = kNewMode;
    model_.setFilePath.clear();
    UpdateTotals();
    UpdateControls();
    ShowFieldsInControls();
}

void MessageSetPage::SaveSetAs() {
    saving_ = true;
    const auto endSaving = qScopeGuard([this] { saving_ = false; });
    TakeControlsIntoFields();

    DialogService::SaveFileRequest request;
    request.initialName = model_.setName;
    request.defaultExtension = u"SET"_s;
    request.filter = u"message set files (*.set)|*.set|All Files (*.*)|*.*||"_s;
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = context_.dialogs.AskSaveFileName(request);
    if (!chosen.has_value() || chosen->isEmpty()) {
        return;
    }

    const WaitCursor waitCursor;
    model_.setFilePath = QDir::toNativeSeparators(*chosen);
    model_.setName = QFileInfo(*chosen).fileName();
    if (builder_.BuildSetFile(model_, model_.setFilePath)) {
        ShowFieldsInControls();
        infoFile_.WriteInfoFile(model_, InfoFile::PathForSetFile(model_.setFilePath));
    }
    model_.changed = false;
    if (QTreeWidgetItem* current = tree_->currentItem()) {
        tree_->RefreshItem(current->parent());
    }
    ShowFieldsInControls();
    UpdateControls();
}

void MessageSetPage::PlaySelected() {
    QString path;
    if (listHadFocus_) {
        const int row = SelectedRow();
        if (row < 0) {
            return;
        }
        path = model_.entries.at(row).path;
    } else if (treeHadFocus_) {
        QTreeWidgetItem* item = tree_->currentItem();
        if (item == nullptr) {
            return;
        }
        path = tree_->PathOfItem(item);
    } else {
        return;
    }
    if (CheckWaveFormat(path, context_.dialogs) && !path.isEmpty()) {
        lastPlayRequest_ = path;
        player_.Play(path);  // playback errors are not reported
    }
}

void MessageSetPage::StopPlaying() {
    lastPlayRequest_.clear();
    player_.Stop();
}
