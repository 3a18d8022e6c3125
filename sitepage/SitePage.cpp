#include "sitepage/SitePage.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/DialogService.h"
#include "base/SettingsKeys.h"
#include "base/ToolState.h"
#include "sitepage/ControllerDialog.h"
#include "sitepage/PasswordDialog.h"
#include "sitepage/ProgressDelegate.h"
#include "sitepage/SiteViewModel.h"

using namespace Qt::StringLiterals;

namespace {

QTableView* MakeTable(QAbstractItemModel* model, const QString& name, const QString& accessible,
                      QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessible);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);  // Tab moves on to the next control, as on every page
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    // Rows as high as their text, so that five controllers fit without scrolling.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

}  // namespace

SitePage::SitePage(const PageContext& context, QWidget* parent)
    : PageDialog(context, parent), view_(new SiteViewModel(this)) {
    setObjectName(u"sitePage"_s);
    setAccessibleName(u"Site"_s);
    BuildLayout();
    connect(view_, &SiteViewModel::RunningChanged, this, [this] { UpdateButtons(); });
    connect(view_, &SiteViewModel::RunFinished, this, &SitePage::OnRunFinished);
    connect(view_, &SiteViewModel::SiteChanged, this, [this] {
        ShowSite();
        Q_EMIT ControllersChanged();
    });
    ShowSite();
}

// The view model's operation cancels and waits for its workers as it goes.
SitePage::~SitePage() = default;

QPushButton* SitePage::MakeButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAccessibleName(QString(text).remove(u'&').remove(u"..."_s));
    return button;
}

void SitePage::BuildLayout() {
    auto* siteGroup = new QGroupBox(u"Installation"_s, this);
    siteGroup->setObjectName(u"installationGroup"_s);
    auto makeValue = [siteGroup](const QString& name) {
        auto* label = new QLabel(siteGroup);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    folderValue_ = makeValue(u"siteFolderValue"_s);
    folderValue_->setWordWrap(true);
    nameValue_ = makeValue(u"siteNameValue"_s);
    engineerValue_ = makeValue(u"siteEngineerValue"_s);
    openButton_ = MakeButton(u"&Open..."_s, u"openSiteButton"_s);
    newButton_ = MakeButton(u"&New..."_s, u"newSiteButton"_s);
    connect(openButton_, &QPushButton::clicked, this, &SitePage::OnOpen);
    connect(newButton_, &QPushButton::clicked, this, &SitePage::OnNew);
    auto* siteGrid = new QGridLayout(siteGroup);
    siteGrid->addWidget(new QLabel(u"Folder"_s, siteGroup), 0, 0);
    siteGrid->addWidget(folderValue_, 0, 1);
    siteGrid->addWidget(new QLabel(u"Name"_s, siteGroup), 1, 0);
    siteGrid->addWidget(nameValue_, 1, 1);
    siteGrid->addWidget(new QLabel(u"Engineer"_s, siteGroup), 2, 0);
    siteGrid->addWidget(engineerValue_, 2, 1);
    siteGrid->setColumnStretch(1, 1);
    auto* siteButtons = new QVBoxLayout;
    siteButtons->addWidget(openButton_);
    siteButtons->addWidget(newButton_);
    siteButtons->addStretch();
    siteGrid->addLayout(siteButtons, 0, 2, 3, 1);

    controllerTable_ =
        MakeTable(&view_->Controllers(), u"controllerTable"_s, u"Controllers"_s, this);
    controllerTable_->setItemDelegateForColumn(ControllerTableModel::kState,
                                               new ProgressDelegate(controllerTable_));
    connect(controllerTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateButtons(); });
    connect(controllerTable_, &QTableView::doubleClicked, this, &SitePage::OnEdit);
    addButton_ = MakeButton(u"&Add..."_s, u"addControllerButton"_s);
    editButton_ = MakeButton(u"Edi&t..."_s, u"editControllerButton"_s);
    removeButton_ = MakeButton(u"&Remove"_s, u"removeControllerButton"_s);
    backupButton_ = MakeButton(u"&Back up all"_s, u"backupAllButton"_s);
    pushButton_ = MakeButton(u"&Push file..."_s, u"pushFileButton"_s);
    cancelButton_ = MakeButton(u"&Cancel"_s, u"cancelRunButton"_s);
    connect(addButton_, &QPushButton::clicked, this, &SitePage::OnAdd);
    connect(editButton_, &QPushButton::clicked, this, &SitePage::OnEdit);
    connect(removeButton_, &QPushButton::clicked, this, &SitePage::OnRemove);
    connect(backupButton_, &QPushButton::clicked, this, &SitePage::BackUpAll);
    connect(pushButton_, &QPushButton::clicked, this, &SitePage::OnPushFile);
    connect(cancelButton_, &QPushButton::clicked, this, &SitePage::CancelRun);
    auto* runButtons = new QHBoxLayout;
    for (QPushButton* button : {addButton_, editButton_, removeButton_}) {
        runButtons->addWidget(button);
    }
    runButtons->addStretch();
    for (QPushButton* button : {backupButton_, pushButton_, cancelButton_}) {
        runButtons->addWidget(button);
    }

    reportText_ = new QPlainTextEdit(this);
    reportText_->setObjectName(u"runReport"_s);
    reportText_->setAccessibleName(u"Result of the last run"_s);
    reportText_->setReadOnly(true);
    reportText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    reportText_->setTabChangesFocus(true);

    auto* recordGroup = new QGroupBox(u"Record"_s, this);
    recordGroup->setObjectName(u"recordGroup"_s);
    recordTable_ = MakeTable(&view_->Record(), u"recordTable"_s, u"Record"_s, recordGroup);
    detailTable_ =
        MakeTable(&view_->RecordDetail(), u"recordDetailTable"_s, u"Record lines"_s, recordGroup);
    connect(recordTable_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                view_->SelectRecord(current.row());
                UpdateButtons();
            });
    restoreButton_ = MakeButton(u"Re&store..."_s, u"restoreButton"_s);
    connect(restoreButton_, &QPushButton::clicked, this, &SitePage::RestoreSelected);
    connect(view_, &SiteViewModel::SiteChanged, this, [this] { UpdateButtons(); });
    auto* recordLayout = new QGridLayout(recordGroup);
    recordLayout->addWidget(recordTable_, 0, 0);
    recordLayout->addWidget(detailTable_, 0, 1);
    recordLayout->addWidget(restoreButton_, 1, 1, Qt::AlignRight);
    recordLayout->setColumnStretch(0, 2);
    recordLayout->setColumnStretch(1, 3);

    auto* page = new QVBoxLayout(this);
    page->addWidget(siteGroup);
    page->addWidget(controllerTable_, 2);
    page->addLayout(runButtons);
    page->addWidget(reportText_, 2);
    page->addWidget(recordGroup, 3);
    // A click on a detail line changes what Restore... can do.
    connect(detailTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateButtons(); });
}

void SitePage::InitialisePage() {
    PageDialog::InitialisePage();
    const QString folder = settings_keys::kSiteFolder.Read(context_.app.SettingsFilePath());
    if (!folder.isEmpty()) {
        QString error;
        if (!view_->Open(folder, &error)) {
            // Shown on the page, not in a box at start-up: the tool starts without the site.
            reportText_->setPlainText(error);
        }
    }
    UpdateButtons();
}

QString SitePage::SaveSettings() {
    if (!view_->IsOpen()) {
        return {};
    }
    const QString file = context_.app.SettingsFilePath();
    QString reason;
    if (!settings_keys::kSiteFolder.Write(file, view_->Site().Folder(), &reason)) {
        return u"The installation folder could not be saved in %1: %2"_s.arg(
            QDir::toNativeSeparators(file), reason.simplified());
    }
    return {};
}

void SitePage::ShowSite() {
    const bool open = view_->IsOpen();
    const QString none = u"(none)"_s;
    ShowValue(folderValue_, u"Folder"_s,
              open ? QDir::toNativeSeparators(view_->Site().Folder()) : none);
    ShowValue(nameValue_, u"Name"_s, open ? view_->Site().SiteName() : QString());
    ShowValue(engineerValue_, u"Engineer"_s, open ? view_->Site().Engineer() : QString());
    UpdateButtons();
}

int SitePage::SelectedController() const {
    const QModelIndexList rows = controllerTable_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int SitePage::SelectedDetail() const {
    const QModelIndexList rows = detailTable_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SitePage::UpdateButtons() {
    const bool running = view_->IsRunning();
    const bool open = view_->IsOpen() && !running;
    const bool any = open && view_->Controllers().rowCount() > 0;
    const bool selected = open && SelectedController() >= 0;
    openButton_->setEnabled(!running);
    newButton_->setEnabled(!running);
    addButton_->setEnabled(open);
    editButton_->setEnabled(selected);
    removeButton_->setEnabled(selected);
    backupButton_->setEnabled(any);
    pushButton_->setEnabled(any);
    cancelButton_->setEnabled(running);
    restoreButton_->setEnabled(open && view_->RecordDetail().CanRestore(SelectedDetail()));
    SetDefaultButton(running ? cancelButton_ : nullptr);
}

bool SitePage::OpenFolder(const QString& folder) {
    QString error;
    if (!view_->Open(folder, &error)) {
        context_.dialogs.ShowError(error);
        return false;
    }
    return true;
}

bool SitePage::CreateFolder(const QString& folder) {
    QString error;
    const QString engineer = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    if (!view_->Create(folder, QFileInfo(folder).fileName(), engineer, &error)) {
        context_.dialogs.ShowError(error);
        return false;
    }
    return true;
}

void SitePage::OnOpen() {
    const QString start = view_->IsOpen() ? view_->Site().Folder() : QDir::currentPath();
    if (const auto folder = context_.dialogs.AskFolder(u"Open an installation folder"_s, start)) {
        OpenFolder(*folder);
    }
}

void SitePage::OnNew() {
    if (const auto folder = context_.dialogs.AskFolder(
            u"Folder of the new installation (named after it)"_s, QDir::currentPath())) {
        CreateFolder(*folder);
    }
}

void SitePage::OnAdd() {
    ControllerDialog dialog({QString(), QString(), 21, u"service"_s}, context_.dialogs, this);
    QString error;
    if (dialog.exec() == QDialog::Accepted && !view_->AddController(dialog.Controller(), &error)) {
        context_.dialogs.ShowError(error);
    }
}

void SitePage::OnEdit() {
    const int row = SelectedController();
    if (row < 0 || view_->IsRunning()) {
        return;
    }
    ControllerDialog dialog(view_->Controllers().ControllerAt(row), context_.dialogs, this);
    QString error;
    if (dialog.exec() == QDialog::Accepted &&
        !view_->ReplaceController(row, dialog.Controller(), &error)) {
        context_.dialogs.ShowError(error);
    }
}

void SitePage::OnRemove() {
    const int row = SelectedController();
    if (row < 0) {
        return;
    }
    const QString name = view_->Controllers().ControllerAt(row).name;
    QString error;
    if (context_.dialogs.AskYesNo(
            u"Remove %1 from the installation? Its history stays in the record."_s.arg(name),
            DialogService::Icon::Question) &&
        !view_->RemoveController(row, &error)) {
        context_.dialogs.ShowError(error);
    }
}

void SitePage::OnPushFile() {
    PushDialog dialog(view_->Site().Controllers(), context_.dialogs, this);
    if (dialog.exec() == QDialog::Accepted) {
        StartPush(dialog.Chosen());
    }
}

void SitePage::BackUpAll() {
    passwordsGiven_.clear();
    Run(view_->BackupRequest());
}

void SitePage::StartPush(const PushDialog::Choice& choice) {
    passwordsGiven_.clear();
    pendingPush_ = choice;
    if (!Run(view_->PushRequest(choice.category, choice.localPath, choice.controllers, true))) {
        pendingPush_.reset();
    }
}

void SitePage::RestoreSelected() {
    passwordsGiven_.clear();
    SiteOperation::Request request;
    QString error;
    if (!view_->RestoreRequest(SelectedDetail(), &request, &error)) {
        context_.dialogs.ShowError(error);
        return;
    }
    if (context_.dialogs.AskYesNo(u"Put %1 back on %2 as it was before the push (commit %3)?"_s.arg(
                                      request.remotePath, request.only.first(), request.fromCommit),
                                  DialogService::Icon::Question)) {
        Run(request);
    }
}

void SitePage::CancelRun() {
    pendingPush_.reset();
    view_->Cancel();
}

bool SitePage::Run(const SiteOperation::Request& request) {
    QString error;
    if (!view_->Prepare(request, &error)) {
        context_.dialogs.ShowError(error);
        return false;
    }
    if (!AskPasswords(view_->Targets())) {
        return false;
    }
    reportText_->clear();
    view_->Start(passwordsGiven_);
    return true;
}

bool SitePage::AskPasswords(const QList<SiteFile::Controller>& targets) {
    const SitePasswords::Asker asker =
        asker_ ? asker_ : [this](const PasswordGroup& group, const QString& problem) {
            return AskWithDialog(group, problem);
        };
    QString keyringError;
    const bool complete = passwords_.Complete(targets, asker, &passwordsGiven_, &keyringError);
    if (!keyringError.isEmpty()) {
        context_.dialogs.ShowError(u"The password could not be kept in the desktop keyring: "_s +
                                   keyringError);
    }
    return complete;
}

std::optional<SitePage::PasswordAnswer> SitePage::AskWithDialog(const PasswordGroup& group,
                                                                const QString& keyringProblem) {
    PasswordDialog dialog(group.user, group.Names(), keyringProblem, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return PasswordAnswer{dialog.Password(), dialog.Remember()};
}

void SitePage::OnRunFinished() {
    reportText_->setPlainText(view_->Report());
    if (!pendingPush_) {
        passwordsGiven_.clear();
        UpdateButtons();
        return;
    }
    const PushDialog::Choice choice = *pendingPush_;
    pendingPush_.reset();
    if (!view_->Succeeded()) {
        passwordsGiven_.clear();
        context_.dialogs.ShowError(
            u"The dry run did not succeed on every controller; nothing was pushed."_s);
        return;
    }
    if (context_.dialogs.ShowMessage(view_->Report() + u"\nPush %1 to these controllers?"_s.arg(
                                                           QFileInfo(choice.localPath).fileName()),
                                     DialogService::Buttons::OkCancel,
                                     DialogService::Icon::Question) == DialogService::Answer::Ok) {
        Run(view_->PushRequest(choice.category, choice.localPath, choice.controllers, false));
    }
    passwordsGiven_.clear();
}
