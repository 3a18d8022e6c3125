#include "messageset/MessageSetEditor.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include "base/ToolState.h"
#include "browse/FolderListing.h"
#include "messageset/MessageSetPageTexts.h"
#include "messageset/MessageSetView.h"
#include "setfile/FormatKilobytes.h"
#include "setfile/WaveEntry.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;

MessageSetEditor::MessageSetEditor(MessageSetView& view, const PageContext& context)
    : view_(view),
      app_(context.app),
      dialogs_(context.dialogs),
      infoFile_(context.app.ProgramName()),
      builder_(context.dialogs, context.progress),
      extraction_(context.dialogs, context.app.ProgramName()),
      audioImport_(context.dialogs, context.progress),
      loudness_(table_, context.dialogs, context.progress),
      playback_(context.dialogs) {
    // Queued: a refused name is said once the list's editor has closed.
    connect(&table_, &MessageSetTableModel::NameRefused, this, &MessageSetEditor::ShowNameRule,
            Qt::QueuedConnection);
    connect(&table_, &MessageSetTableModel::dataChanged, this, &MessageSetEditor::UpdateControls);
    connect(&loudness_, &MessageSetLoudness::SpreadChanged, this,
            [this](const QString& text) { view_.ShowLoudnessSpread(text); });
}

MessageSetEditor::~MessageSetEditor() = default;

void MessageSetEditor::ShowFieldsInView() {
    view_.ShowTotals(countText_, totalText_);
    view_.ShowSetFileStatus(setFileStatus_);
    if (view_.SetNameText() != Set().setName) {
        view_.ShowSetName(Set().setName);
    }
    view_.ShowMode(mode_);
}

void MessageSetEditor::TakeViewIntoFields() {
    table_.SetName(view_.SetNameText());
    if (view_.CheckedMode() >= 0) {
        SetMode(view_.CheckedMode());
    }
}

void MessageSetEditor::SetMode(int mode) {
    mode_ = mode;
    table_.SetRenamable(mode != Mode::kView);
}

void MessageSetEditor::UpdateControls() {
    view_.ShowFlashCardSize(FormatKilobytes(app_.FlashCardSize()));
    const QString treePath = view_.TreePath();
    view_.ShowControlStates(MessageSetControlStates::For(
        view_.SelectedRow() >= 0, FolderListing::IsWaveName(treePath), !Set().entries.isEmpty(),
        mode_, FolderListing::IsSetName(treePath)));
    QString title = ToolState::AppCaption();
    if (!Set().setFilePath.isEmpty()) {
        title += u" - "_s + Set().setFilePath;
    }
    view_.ShowTitle(title);
}

void MessageSetEditor::UpdateTotals() {
    countText_ = QString::number(Set().entries.size());
    totalText_ = FormatKilobytes(static_cast<quint64>(Set().EstimateSetSize()));
    loudness_.Refresh(storedSet_ ? &*storedSet_ : nullptr);
    ShowFieldsInView();
}

void MessageSetEditor::AddMessage() {
    AddWaveFile(view_.TreePath(), true);
}

void MessageSetEditor::AddWaveFile(const QString& path, bool offerConversion) {
    const WaveEntry wave = WaveEntry::FromFile(path, Set().entries.size());
    switch (wave.problem) {
        case WaveEntry::Problem::None:
            break;
        case WaveEntry::Problem::SetFull:
            dialogs_.Inform(message_set_texts::TooManyMessages(MessageSetModel::kMaxMessages));
            return;
        case WaveEntry::Problem::NameRule:
            dialogs_.Inform(message_set_texts::NameRule());
            return;
        case WaveEntry::Problem::UnsupportedFormat:
            dialogs_.Inform(wave.formatText);
            if (offerConversion) {
                if (const std::optional<QString> copy = audioImport_.OfferConvertedCopy(path)) {
                    view_.RefreshTreeFolder();  // shows the folder of converted copies
                    AddWaveFile(*copy, false);
                    return;
                }
            }
            UpdateControls();
            return;
        case WaveEntry::Problem::Unreadable:
            UpdateControls();
            return;
        case WaveEntry::Problem::NotOpened:
            dialogs_.Inform(message_set_texts::CouldNotFind(path));
            return;
        case WaveEntry::Problem::NotAFile:
            dialogs_.Inform(wave.formatText);
            return;
    }
    table_.Append(wave.entry);
    UpdateTotals();
    table_.SetChanged(true);
    UpdateControls();
}

void MessageSetEditor::ImportAudio() {
    if (mode_ == Mode::kView) {
        return;
    }
    const QFileInfo treeItem(view_.TreePath());
    const QString folder = treeItem.isDir() ? treeItem.absoluteFilePath() : treeItem.absolutePath();
    if (const std::optional<QString> wave = audioImport_.ChooseAndImport(folder, Set())) {
        view_.RefreshTreeFolder();
        AddWaveFile(*wave, false);
    }
}

void MessageSetEditor::ExtractSet() {
    const QString path = view_.TreePath();
    if (mode_ != Mode::kView || !FolderListing::IsSetName(path)) {
        return;
    }
    if (!extraction_.Run(path)) {
        UpdateControls();
        return;
    }
    view_.RefreshTreeFolder();  // shows new folders of waves
    EnterEditMode();
}

void MessageSetEditor::MatchLoudness() {
    if (mode_ == Mode::kView) {
        return;
    }
    if (loudness_.Match(view_.SelectedRow())) {
        view_.RefreshTreeFolder();  // shows the folder of matched copies
        UpdateTotals();
    }
    UpdateControls();
}

void MessageSetEditor::RemoveMessage() {
    const int row = view_.SelectedRow();
    if (row < 0) {
        view_.FocusList();
    } else {
        const WaitCursor waitCursor;
        table_.Remove(row);
        view_.SelectRow(-1);
        view_.FocusList();
        table_.SetChanged(true);
    }
    UpdateTotals();
    TakeViewIntoFields();
    UpdateControls();
}

void MessageSetEditor::ClearSet() {
    if (dialogs_.ShowMessage(message_set_texts::ClearEntireList(), DialogService::Buttons::OkCancel,
                             DialogService::Icon::None) != DialogService::Answer::Ok) {
        return;
    }
    if (Set().entries.isEmpty()) {
        return;
    }
    const WaitCursor waitCursor;
    table_.Clear();
    table_.SetChanged(true);
    UpdateTotals();
    UpdateControls();
}

void MessageSetEditor::Move(int offset) {
    if (Set().entries.size() < 2) {
        return;
    }
    const int row = view_.SelectedRow();
    if (row < 0) {
        view_.FocusList();
        return;
    }
    const int target = row + offset;
    if (target >= 0 && target < Set().entries.size()) {
        table_.Move(row, target);
        view_.SelectRow(target);
    }
    view_.FocusList();
    // Up on the first entry and Down on the last count as a change too.
    table_.SetChanged(true);
    UpdateControls();
}

void MessageSetEditor::ShowNameRule() {
    dialogs_.Inform(message_set_texts::NameRule());
    UpdateControls();
}

void MessageSetEditor::OnRenameCancelled() {
    if (mode_ != Mode::kView) {
        ShowNameRule();
    }
}

void MessageSetEditor::OnSetNameEdited() {
    // Only what the user types marks the set as changed; showing the fields does not.
    if (mode_ != Mode::kView) {
        table_.SetChanged(true);
        UpdateControls();
    }
}

void MessageSetEditor::OnTreeSelectionChanged() {
    TakeViewIntoFields();
    if (mode_ == Mode::kView) {
        EnterViewMode();
    } else if (mode_ == Mode::kEdit && !saving_) {
        EnterEditMode();
    }
    UpdateControls();
}

DialogService::Answer MessageSetEditor::AskToSaveChanges(bool withCancel) {
    const DialogService::Answer answer = dialogs_.ShowMessage(
        message_set_texts::SaveChangedSetFirst(),
        withCancel ? DialogService::Buttons::YesNoCancel : DialogService::Buttons::YesNo,
        DialogService::Icon::Question);
    if (answer == DialogService::Answer::Yes) {
        SaveSetAs();
    }
    return answer;
}

void MessageSetEditor::ShowProblems(const QStringList& texts) {
    for (const QString& text : texts) {
        dialogs_.Inform(text);
    }
}

bool MessageSetEditor::LoadSet(const QString& setPath) {
    // Read beside the table, so that the list is never out of step while a message is shown.
    MessageSetModel loaded = Set();
    const bool read = infoFile_.ReadInfoFile(loaded, InfoFile::PathForSetFile(setPath));
    ShowProblems(infoFile_.Problems());
    table_.Reload([&loaded](MessageSetModel& set) { set = std::move(loaded); });
    return read;
}

void MessageSetEditor::LoadSetForView(const QString& setPath) {
    // The info file is read first without a word: whether it serves decides what the user is told.
    MessageSetModel loaded = Set();
    const bool read = infoFile_.ReadInfoFile(loaded, InfoFile::PathForSetFile(setPath));
    if (!read || !infoFile_.Problems().isEmpty()) {
        if (std::optional<StoredMessageSet> stored = StoredMessageSet::Open(setPath, nullptr)) {
            setFileStatus_ = message_set_texts::ShownFromSetFile(
                read ? message_set_texts::WavesOfInfoFileMissing()
                     : message_set_texts::InfoFileUnusable(),
                stored->StatusText());
            table_.Reload([&stored](MessageSetModel& set) { set = stored->ToModel(); });
            storedSet_ = std::move(stored);
            return;
        }
    }
    // Neither serves: the info file as it reads, with what it says.
    ShowProblems(infoFile_.Problems());
    table_.Reload([&loaded](MessageSetModel& set) { set = std::move(loaded); });
}

void MessageSetEditor::ForgetStoredSet() {
    storedSet_.reset();
    setFileStatus_.clear();
}

void MessageSetEditor::EnterMode(int mode) {
    switch (mode) {
        case Mode::kView:
            EnterViewMode();
            break;
        case Mode::kEdit:
            EnterEditMode();
            break;
        default:
            EnterNewMode();
            break;
    }
}

void MessageSetEditor::EnterViewMode() {
    const QString path = view_.TreePath();
    if (IsSetChanged()) {
        AskToSaveChanges(false);
    }
    table_.Clear();
    table_.SetFilePath({});
    ForgetStoredSet();
    if (FolderListing::IsSetName(path)) {
        LoadSetForView(path);
    }
    table_.SetChanged(false);
    SetMode(Mode::kView);
    UpdateTotals();
    UpdateControls();
    ShowFieldsInView();
}

void MessageSetEditor::EnterEditMode() {
    const int previous = mode_;
    const QString path = view_.TreePath();
    if (!FolderListing::IsSetName(path)) {
        SetMode(previous);
    } else {
        if (IsSetChanged() && AskToSaveChanges(true) == DialogService::Answer::Cancel) {
            SetMode(previous);
            ShowFieldsInView();
            return;
        }
        table_.Clear();
        ForgetStoredSet();
        const WaitCursor waitCursor;
        if (LoadSet(path)) {
            table_.SetChanged(false);
            SetMode(Mode::kEdit);
        } else {
            SetMode(previous);
        }
    }
    UpdateTotals();
    UpdateControls();
    ShowFieldsInView();
}

void MessageSetEditor::EnterNewMode() {
    if (IsSetChanged()) {
        AskToSaveChanges(false);
    }
    table_.Clear();
    ForgetStoredSet();
    table_.SetName(u"set1"_s);
    table_.SetChanged(false);
    SetMode(Mode::kNew);
    table_.SetFilePath({});
    UpdateTotals();
    UpdateControls();
    ShowFieldsInView();
}

void MessageSetEditor::SaveSetAs() {
    saving_ = true;
    const auto endSaving = qScopeGuard([this] { saving_ = false; });
    TakeViewIntoFields();

    DialogService::SaveFileRequest request;
    request.initialName = Set().setName;
    // Lower case: the file transfer page lists message sets by ".set", case-sensitively.
    request.defaultExtension = u"set"_s;
    request.filter = u"message set files (*.set)|*.set|All Files (*.*)|*.*||"_s;
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = dialogs_.AskSaveFileName(request);
    if (!chosen.has_value() || chosen->isEmpty()) {
        return;
    }

    const WaitCursor waitCursor;
    table_.SetFilePath(QDir::toNativeSeparators(*chosen));
    table_.SetName(QFileInfo(*chosen).fileName());
    const bool built = builder_.BuildSetFile(Set(), Set().setFilePath);
    // A set that did not reach the disk stays changed, so that leaving still offers to save it.
    if (built) {
        ShowFieldsInView();
        if (!infoFile_.WriteInfoFile(Set(), InfoFile::PathForSetFile(Set().setFilePath))) {
            ShowProblems(infoFile_.Problems());
        }
        table_.SetChanged(false);
    }
    view_.RefreshTreeFolder();
    ShowFieldsInView();
    UpdateControls();
}

void MessageSetEditor::PlaySelected() {
    if (lastFocus_ == Focus::List) {
        const int row = view_.SelectedRow();
        if (row < 0) {
            return;
        }
        if (storedSet_) {
            playback_.PlayStored(*storedSet_, row);
        } else {
            playback_.PlayFile(Set().entries.at(row).path);
        }
    } else if (lastFocus_ == Focus::Tree) {
        playback_.PlayFile(view_.TreePath());
    }
}
