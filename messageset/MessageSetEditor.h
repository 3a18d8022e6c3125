#pragma once

#include <QObject>
#include <memory>
#include <optional>

#include "base/DialogService.h"
#include "messageset/AudioImportFlow.h"
#include "messageset/MessagePlayback.h"
#include "messageset/MessageSetControlStates.h"
#include "messageset/MessageSetLoudness.h"
#include "messageset/MessageSetTableModel.h"
#include "messageset/SetExtractionFlow.h"
#include "messageset/SetFileBuilder.h"
#include "setfile/InfoFile.h"
#include "setfile/StoredMessageSet.h"
#include "widgets/PageContext.h"

class MessageSetView;

// The logic of the message set page: the View, Edit and New modes and the moves between them, the
// commands on the set (add, remove, clear, order, rename, play, save) and which of them are
// available. Reads and shows the widgets' state through a MessageSetView and asks the user through
// the dialog service.
//
// The list's Loudness column and the spread line below it follow the set (MessageSetLoudness);
// "Match loudness..." brings messages to one loudness in Edit and New mode.
//
// In View mode a set whose info file cannot serve (missing, unreadable, of another program, or
// naming wave files that are gone) is shown from its set file alone (StoredMessageSet), with its
// CRC status; its messages play from temporary wave files (MessagePlayback).
//
// The set name shown, the totals and the mode are copied between the editor and the view only at
// fixed points: a name typed into the "Message set" box becomes the set's name when the view is
// next taken in (a save, a tree selection change, a removal), and showing the editor's state
// before that puts the set's name back into the box.
class MessageSetEditor : public QObject {
    Q_OBJECT

public:
    using Mode = MessageSetControlStates::Mode;

    // view, and the context's services, outlive the editor.
    MessageSetEditor(MessageSetView& view, const PageContext& context);
    ~MessageSetEditor() override;

    MessageSetTableModel& Table() { return table_; }
    const MessageSetModel& Set() const { return table_.Set(); }
    int CurrentMode() const { return mode_; }
    bool IsSetChanged() const { return table_.Set().changed; }
    // The set shown from its set file alone, if it is.
    const std::optional<StoredMessageSet>& StoredSet() const { return storedSet_; }
    const MessageSetLoudness& Loudness() const { return loudness_; }
    SetFileBuilder& Builder() { return builder_; }
    // The wave file last given to the player (whether or not a sound device took it); empty once
    // stopped.
    const QString& LastPlayRequest() const { return playback_.LastRequest(); }

    // The commands of the page's buttons.
    // Adds the tree's wave file. One the format check refuses is offered as a converted copy.
    void AddMessage();
    // Asks for a sound file of any format the decoder reads and adds it, converted when needed.
    void ImportAudio();
    // Takes the selected set file apart into wave files and an info file, then edits it.
    void ExtractSet();
    void RemoveMessage();
    void ClearSet();
    void MoveUp() { Move(-1); }
    void MoveDown() { Move(1); }
    void PlaySelected();
    void StopPlaying() { playback_.Stop(); }
    // Brings the selected message, or all, to one loudness through matched copies.
    void MatchLoudness();
    // Asks for a file, builds the set file and writes its info file. The changed flag is cleared
    // only when the set file was built.
    void SaveSetAs();
    void EnterMode(int mode);
    void EnterViewMode();
    void EnterEditMode();
    void EnterNewMode();

    // Notifications from the view.
    void OnTreeSelectionChanged();
    // The user typed into the "Message set" box.
    void OnSetNameEdited();
    // An in-place edit of a message name was cancelled: said like a refused name, when editing.
    void OnRenameCancelled();
    enum class Focus { Tree, List };
    // Which list had the focus last; Play takes its selection.
    void OnFocus(Focus focus) { lastFocus_ = focus; }

    // Shows the states of the commands, the flash card size and the title.
    void UpdateControls();
    // Shows the editor's state in the view.
    void ShowFieldsInView();

private:
    void TakeViewIntoFields();
    // The mode, and whether names typed into the list are taken.
    void SetMode(int mode);
    void UpdateTotals();
    void Move(int offset);
    // offerConversion: a file of another format is offered as a converted copy.
    void AddWaveFile(const QString& path, bool offerConversion);
    // Loads the info file of the set file at setPath into the set; true when it was this
    // program's.
    bool LoadSet(const QString& setPath);
    // View mode: the set through its info file when that serves, otherwise from the set file.
    void LoadSetForView(const QString& setPath);
    void ForgetStoredSet();
    // Asks whether a changed set is saved first; runs SaveSetAs on Yes. Returns the answer.
    DialogService::Answer AskToSaveChanges(bool withCancel);
    void ShowNameRule();
    // Each text in a message of its own, in order.
    void ShowProblems(const QStringList& texts);

    MessageSetView& view_;
    ToolState& app_;
    DialogService& dialogs_;
    MessageSetTableModel table_;
    InfoFile infoFile_;
    SetFileBuilder builder_;
    SetExtractionFlow extraction_;
    AudioImportFlow audioImport_;
    std::optional<StoredMessageSet> storedSet_;
    MessageSetLoudness loudness_;
    QString setFileStatus_;
    MessagePlayback playback_;
    int mode_ = Mode::kView;
    QString countText_ = QStringLiteral("0");
    QString totalText_ = QStringLiteral("0 KB");
    std::optional<Focus> lastFocus_;
    bool saving_ = false;
};
