#pragma once

#include "messageset/MessageSetEditor.h"
#include "messageset/MessageSetView.h"
#include "widgets/PageDialog.h"
#include "widgets/UnsavedSetOwner.h"

class FolderTree;
class MessageNameDelegate;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

// The page on which message sets are assembled, viewed, edited and saved. On the left the folder
// tree lists folders with their wave and set files; on the right the page shows one message set:
// the set's name, its messages with name, size, loudness and path, the set's loudness spread, and
// totals. Three modes, chosen with
// radio buttons: View shows the set of the set file selected in the tree, Edit changes a saved
// set, New starts a set named "set1". Saving builds the set file and writes its info file beside
// it.
//
// The page holds the layout and passes what the user does to its MessageSetEditor, which holds the
// set (the message list's model) and decides everything else, including "Import audio...",
// "Extract..." and "Match loudness..."; the page shows what the editor tells it through
// MessageSetView. It owns its folder tree and remembers the tree's selection as "Last Dir".
class MessageSetPage : public PageDialog, public UnsavedSetOwner, private MessageSetView {
    Q_OBJECT

public:
    enum Mode {
        kViewMode = MessageSetControlStates::kView,
        kEditMode = MessageSetControlStates::kEdit,
        kNewMode = MessageSetControlStates::kNew
    };

    MessageSetPage(const PageContext& context, QWidget* parent);
    ~MessageSetPage() override;

    // Sets up the tree with the wave and set filter and opens it at "Last Dir".
    void InitialisePage() override;
    // Writes the folder tree's selected path back as "Last Dir".
    [[nodiscard]] QString SaveSettings() override;

    bool IsSetChanged() const override { return editor_.IsSetChanged(); }
    void SaveSetAs() override { editor_.SaveSetAs(); }

    MessageSetEditor& Editor() { return editor_; }
    const MessageSetModel& Model() const { return editor_.Set(); }
    int CurrentMode() const { return editor_.CurrentMode(); }
    FolderTree* Tree() const { return tree_; }
    QTreeView* MessageList() const { return messageList_; }
    SetFileBuilder& Builder() { return editor_.Builder(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Brings the flash card size up to date: a login on another page may have changed it.
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void Connect();

    // MessageSetView
    QString TreePath() const override;
    void RefreshTreeFolder() override;
    int SelectedRow() const override;
    void SelectRow(int row) override;
    void FocusList() override;
    QString SetNameText() const override;
    void ShowSetName(const QString& name) override;
    int CheckedMode() const override;
    void ShowMode(int mode) override;
    void ShowTotals(const QString& count, const QString& totalSize) override;
    void ShowFlashCardSize(const QString& size) override;
    void ShowControlStates(const MessageSetControlStates& states) override;
    void ShowTitle(const QString& title) override;
    void ShowSetFileStatus(const QString& status) override;
    void ShowLoudnessSpread(const QString& spread) override;

    MessageSetEditor editor_;

    FolderTree* tree_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* downButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* extractButton_ = nullptr;
    QPushButton* matchLoudnessButton_ = nullptr;
    QTreeView* messageList_ = nullptr;
    MessageNameDelegate* nameDelegate_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* flashCardLabel_ = nullptr;
    QLabel* setFileStatusLabel_ = nullptr;
    QLabel* loudnessSpreadLabel_ = nullptr;
};
