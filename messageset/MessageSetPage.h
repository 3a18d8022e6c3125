#pragma once

#include <optional>

#include "app/DialogService.h"
#include "app/PageDialog.h"
#include "app/UnsavedSetOwner.h"
#include "messageset/InfoFile.h"
#include "messageset/MessageSetModel.h"
#include "messageset/SetFileBuilder.h"
#include "messageset/WavePlayer.h"

class FolderTree;
class MessageNameDelegate;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The page on which message sets are assembled, viewed, edited and saved. On the left the folder
// tree lists folders with their wave and set files; on the right the page shows one message set
// (its model): the set's name, its messages with name, size and path, and totals. Three modes,
// chosen with radio buttons: View shows the set of the set file selected in the tree, Edit changes
// a saved set, New starts a set named "set1". Saving builds the set file and writes its info file
// beside it.
//
// The page owns its model, its folder tree and its player. The count, total and set name shown,
// and the mode, are copied between the fields and the controls only at fixed points: a name typed
// into the "Message set" box becomes the set's name when the controls are next taken into the
// fields (a save, a tree selection change, a removal), and showing the fields before that puts the
// set's name back into the box.
class MessageSetPage : public PageDialog, public UnsavedSetOwner {
    Q_OBJECT

public:
    enum Mode { kViewMode = 0, kEditMode = 1, kNewMode = 2 };

    MessageSetPage(const PageContext& context, QWidget* parent);
    ~MessageSetPage() override;

    // Sets up the tree with the wave and set filter and opens it at "Last Dir".
    void InitialisePage() override;
    // Writes the folder tree's selected path back as "Last Dir".
    [[nodiscard]] QString SaveSettings() override;

    bool IsSetChanged() const override { return model_.changed; }
    // Asks for a file, builds the set file and writes its info file. The changed flag is cleared
    // once a file was chosen, whether or not the build succeeded.
    void SaveSetAs() override;

    // The commands of the page's buttons and notifications.
    void AddMessage();
    void RemoveMessage();
    void ClearSet();
    void MoveUp();
    void MoveDown();
    void PlaySelected();
    void StopPlaying();
    void EnterViewMode();
    void EnterEditMode();
    void EnterNewMode();
    // The end of an in-place edit of row's name: the text typed, or nothing when cancelled.
    void RenameMessage(int row, const std::optional<QString>& newText);
    void OnTreeSelectionChanged();
    void UpdateControls();
    void UpdateTotals();

    const MessageSetModel& Model() const { return model_; }
    int CurrentMode() const { return mode_; }
    FolderTree* Tree() const { return tree_; }
    QTreeWidget* MessageList() const { return messageList_; }
    SetFileBuilder& Builder() { return builder_; }
    // The wave file the page last asked the player to play (whether or not a sound device took
    // it); empty once Stop was pressed.
    const QString& LastPlayRequest() const { return lastPlayRequest_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Brings the flash card size up to date: a login on another page may have changed it.
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void ShowFieldsInControls();
    void TakeControlsIntoFields();
    // Deletes every entry from the model and the list.
    void DeleteAllEntries();
    // Shows the model's entries in the list, after an info file was read.
    void FillList();
    QTreeWidgetItem* MakeRow(const MessageEntry& entry) const;
    int SelectedRow() const;
    void Move(int offset);
    // Asks whether a changed set is saved first; runs SaveSetAs on Yes. Returns the answer.
    DialogService::Answer AskToSaveChanges(bool withCancel);

    MessageSetModel model_;
    InfoFile infoFile_;
    SetFileBuilder builder_;
    WavePlayer player_;
    QString lastPlayRequest_;
    int mode_ = kViewMode;
    QString countText_ = QStringLiteral("0");
    QString totalText_ = QStringLiteral("0 KB");
    bool listHadFocus_ = false;
    bool treeHadFocus_ = false;
    bool saving_ = false;

    FolderTree* tree_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* downButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTreeWidget* messageList_ = nullptr;
    MessageNameDelegate* nameDelegate_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* flashCardLabel_ = nullptr;
};
