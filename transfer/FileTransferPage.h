#pragma once

#include <QIcon>
#include <QString>
#include <memory>

#include "transfer/CategorySettings.h"
#include "transfer/FileCategory.h"
#include "widgets/PageDialog.h"

class QButtonGroup;
class QComboBox;
class QFileIconProvider;
class TransferCommands;
class TransferFileList;

// The page that moves files of the seven categories between the PC and the controller. The left
// list shows the process's working directory (the page's local side), the right list the
// session's current remote directory; a category's radio button moves both sides to the
// category's directories. The buttons between the lists send, fetch and delete.
//
// Owns its category settings: read when the page is initialised, written back by SaveSettings.
class FileTransferPage : public PageDialog {
    Q_OBJECT

public:
    FileTransferPage(const PageContext& context, QWidget* parent);
    ~FileTransferPage() override;

    // Reads the category settings, fills both lists and the drive combo, marks "Message Set".
    // The directories of the category are entered only when the page is first shown.
    void InitialisePage() override;
    // Writes the category settings back; nothing when the page was never initialised.
    [[nodiscard]] QString SaveSettings() override;

    // Moves the remote side to the category's directory (creating it, for paths below /rfa, when
    // it is missing) and the local side to its directory below the upload directory, and sets the
    // buttons: all disabled unless the remote side could be entered, "<" and "&Delete" never for
    // the web category.
    void EnterCategory(FileCategory category);

    // Re-reads the working directory into the local list: directories first, then the files
    // that pass the category's filter.
    void RefreshLocalList();
    // Re-reads the session's current remote directory into the remote list; empties it without
    // a session.
    void RefreshRemoteList();

    // The drive combo's selection: an appended directory or a drive root becomes the working
    // directory.
    void OnDriveSelected();
    // Enters the selected local directory (".." goes up); a file does nothing.
    void OnLocalDoubleClick();

    // The ">", "<" and "&Delete" buttons.
    void UploadSelected();
    void DownloadSelected();
    void DeleteSelected();

    FileCategory SelectedCategory() const { return static_cast<FileCategory>(selectedCategory_); }
    const QString& LocalDirectory() const { return localDirectory_; }
    const CategorySettings& Settings() const { return settings_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    // Runs each time the page becomes visible: refreshes both lists and enters the marked category.
    void OnShown();
    void EnterLocalDirectory(FileCategory category);
    void FillDriveCombo();
    void MarkSelectedCategory();
    QIcon IconFor(const QString& path, bool isDirectory) const;
    QString LocalPathOf(const QString& name) const;
    // The upload, download and delete of the page's selection, with the page's settings.
    TransferCommands Commands() const;
    // The selected name of list for an upload or a download; empty when there is none, or when
    // the session is not connected (which is then said).
    QString NameToTransfer(const TransferFileList* list);

    QComboBox* driveCombo_ = nullptr;
    TransferFileList* remoteList_ = nullptr;
    TransferFileList* localList_ = nullptr;
    QPushButton* uploadButton_ = nullptr;
    QPushButton* downloadButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QButtonGroup* categoryGroup_ = nullptr;

    int selectedCategory_ = -1;  // a FileCategory index once the page is initialised
    QString localDirectory_;
    CategorySettings settings_;
    QIcon folderIcon_;
    QIcon documentIcon_;
    std::unique_ptr<QFileIconProvider> iconProvider_;
    bool busy_ = false;  // a transfer command is running (its progress display pumps events)
};
