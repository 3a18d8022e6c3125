#pragma once

#include <QHash>
#include <functional>
#include <optional>

#include "site/SiteOperation.h"
#include "sitepage/PasswordGroups.h"
#include "sitepage/PushDialog.h"
#include "sitepage/SitePasswords.h"
#include "widgets/PageDialog.h"

class PasswordKeyring;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class SiteViewModel;

// The Site page: the installation folder (opened or made here, the last one kept in the settings
// file as [Site] Folder), its controllers with their last backup and last action, "Back up all"
// and "Push file..." (a dry run first, then the push) with a state and a bar per controller while
// they run and one Cancel for all, and the record with "Restore..." for a file a push left
// incomplete. A thin view over SiteViewModel, which runs everything as the command-line tool does.
class SitePage : public PageDialog {
    Q_OBJECT

public:
    using PasswordAnswer = SitePasswords::Answer;
    using PasswordAsker = SitePasswords::Asker;

    SitePage(const PageContext& context, QWidget* parent);
    ~SitePage() override;

    void InitialisePage() override;
    [[nodiscard]] QString SaveSettings() override;

    SiteViewModel& View() { return *view_; }
    // Where remembered passwords are kept and found; none: the box is disabled.
    void SetKeyring(PasswordKeyring* keyring) { passwords_.SetKeyring(keyring); }
    // The dialog that asks a password; tests give their own.
    void SetPasswordAsker(PasswordAsker asker) { asker_ = std::move(asker); }

    // The commands of the page, after their dialogs.
    bool OpenFolder(const QString& folder);
    bool CreateFolder(const QString& folder);
    void BackUpAll();
    // A dry run to the chosen controllers; when it went well and the user says so, the push.
    void StartPush(const PushDialog::Choice& choice);
    // Puts back the file of the selected record line.
    void RestoreSelected();
    void CancelRun();

Q_SIGNALS:
    // The installation was opened or its controllers edited.
    void ControllersChanged();

private:
    void BuildLayout();
    QPushButton* MakeButton(const QString& text, const QString& name);
    void OnOpen();
    void OnNew();
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnPushFile();
    void OnRunFinished();
    void ShowSite();
    void UpdateButtons();
    int SelectedController() const;
    int SelectedDetail() const;
    // Prepares the request, asks the passwords its controllers need (the ones given before in
    // this command are used again), and starts it.
    bool Run(const SiteOperation::Request& request);
    // The passwords of the targets; false when the user cancelled a question.
    bool AskPasswords(const QList<SiteFile::Controller>& targets);
    std::optional<PasswordAnswer> AskWithDialog(const PasswordGroup& group,
                                                const QString& keyringProblem);

    SiteViewModel* view_ = nullptr;
    SitePasswords passwords_;
    PasswordAsker asker_;
    QHash<QString, QString> passwordsGiven_;         // for the command under way only
    std::optional<PushDialog::Choice> pendingPush_;  // the dry run of this push is running
    QLabel* folderValue_ = nullptr;
    QLabel* nameValue_ = nullptr;
    QLabel* engineerValue_ = nullptr;
    QTableView* controllerTable_ = nullptr;
    QTableView* recordTable_ = nullptr;
    QTableView* detailTable_ = nullptr;
    QPlainTextEdit* reportText_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* backupButton_ = nullptr;
    QPushButton* pushButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* restoreButton_ = nullptr;
};
