#include "sitepage/SiteViewModel.h"

#include <QDir>
#include <QFile>

#include "site/History.h"
#include "site/ResultTable.h"
#include "sitepage/ControllerActivity.h"

using namespace Qt::StringLiterals;

SiteViewModel::SiteViewModel(QObject* parent) : QObject(parent) {}

// The operation's destructor cancels and waits for its workers.
SiteViewModel::~SiteViewModel() = default;

bool SiteViewModel::Open(const QString& folder, QString* errorText) {
    if (running_) {
        *errorText = u"A run is still going on."_s;
        return false;
    }
    auto site = std::make_unique<SiteFile>(QDir(folder).absolutePath());
    if (!site->Load(errorText)) {
        return false;
    }
    site_ = std::move(site);
    Replace(nullptr);
    detail_.SetRecords(QString(), {});
    if (!Reload(errorText)) {
        // The site is open all the same: its controllers are listed, the record is not.
        controllers_.SetControllers(site_->Controllers(), {});
        Q_EMIT SiteChanged();
        return false;
    }
    Q_EMIT SiteChanged();
    return true;
}

bool SiteViewModel::Create(const QString& folder, const QString& name, const QString& engineer,
                           QString* errorText) {
    if (!QDir().mkpath(folder)) {
        *errorText = u"Cannot make the folder %1."_s.arg(QDir::toNativeSeparators(folder));
        return false;
    }
    SiteFile site(folder);
    if (QFile::exists(site.FilePath())) {
        *errorText =
            u"%1 is an installation folder already."_s.arg(QDir::toNativeSeparators(folder));
        return false;
    }
    History history;
    if (!site.WriteSite(name, engineer, errorText) ||
        !history.Open(site.HistoryPath(), true, errorText)) {
        return false;
    }
    return Open(folder, errorText);
}

bool SiteViewModel::Reload(QString* errorText) {
    if (!site_) {
        return true;
    }
    History history;
    QHash<QString, ControllerActivity> activity;
    QList<History::Commit> commits;
    const bool read = history.Open(site_->HistoryPath(), true, errorText) &&
                      ControllerActivity::Read(history, &activity, errorText) &&
                      history.Log(&commits, errorText);
    controllers_.SetControllers(site_->Controllers(), activity);
    record_.SetCommits(commits);
    return read;
}

bool SiteViewModel::AddController(const SiteFile::Controller& controller, QString* errorText) {
    if (!site_ || running_) {
        *errorText = running_ ? u"A run is still going on."_s : u"No installation is open."_s;
        return false;
    }
    if (!site_->Load(errorText) || !site_->AddController(controller, errorText)) {
        return false;
    }
    const bool reloaded = Reload(errorText);
    Q_EMIT SiteChanged();
    return reloaded;
}

bool SiteViewModel::ReplaceController(int row, const SiteFile::Controller& controller,
                                      QString* errorText) {
    if (!site_ || running_ || row < 0 || row >= controllers_.rowCount()) {
        *errorText = running_ ? u"A run is still going on."_s : u"No controller is selected."_s;
        return false;
    }
    const QString name = controllers_.ControllerAt(row).name;
    if (!site_->Load(errorText) || !site_->ReplaceController(name, controller, errorText)) {
        return false;
    }
    const bool reloaded = Reload(errorText);
    Q_EMIT SiteChanged();
    return reloaded;
}

bool SiteViewModel::RemoveController(int row, QString* errorText) {
    if (!site_ || running_ || row < 0 || row >= controllers_.rowCount()) {
        *errorText = running_ ? u"A run is still going on."_s : u"No controller is selected."_s;
        return false;
    }
    const QString name = controllers_.ControllerAt(row).name;
    if (!site_->Load(errorText) || !site_->RemoveController(name, errorText)) {
        return false;
    }
    const bool reloaded = Reload(errorText);
    Q_EMIT SiteChanged();
    return reloaded;
}

void SiteViewModel::SelectRecord(int row) {
    if (row < 0 || row >= record_.rowCount()) {
        detail_.SetRecords(QString(), {});
        return;
    }
    const History::Commit& commit = record_.CommitAt(row);
    detail_.SetRecords(commit.id, site_record::Parse(commit.message));
}

SiteOperation::Request SiteViewModel::BackupRequest() const {
    SiteOperation::Request request;
    request.command = SiteOperation::Command::Backup;
    request.run = runOptions_;
    return request;
}

SiteOperation::Request SiteViewModel::PushRequest(FileCategory category, const QString& localPath,
                                                  const QStringList& names, bool dryRun) const {
    SiteOperation::Request request;
    request.command = SiteOperation::Command::Push;
    request.run = runOptions_;
    request.category = category;
    request.localPath = localPath;
    request.only = names;
    request.dryRun = dryRun;
    return request;
}

bool SiteViewModel::RestoreRequest(int detailRow, SiteOperation::Request* request,
                                   QString* errorText) {
    if (!site_ || !detail_.CanRestore(detailRow)) {
        *errorText = u"Only a file that a push failed to put on a controller can be restored."_s;
        return false;
    }
    // The push's own commit has the files as found before it as its parent.
    History history;
    if (!history.Open(site_->HistoryPath(), false, errorText)) {
        return false;
    }
    const QString before = history.Resolve(detail_.Commit() + u"~1"_s, errorText);
    if (before.isEmpty()) {
        return false;
    }
    const site_record::Record& record = detail_.RecordAt(detailRow);
    *request = SiteOperation::Request();
    request->command = SiteOperation::Command::Restore;
    request->run = runOptions_;
    request->only = {record.controller};
    request->remotePath = record.file;
    request->fromCommit = before.left(12);
    return true;
}

bool SiteViewModel::Prepare(const SiteOperation::Request& request, QString* errorText) {
    if (!site_ || running_) {
        *errorText = running_ ? u"A run is still going on."_s : u"No installation is open."_s;
        return false;
    }
    auto operation = std::make_unique<SiteOperation>(site_->Folder());
    if (!operation->Prepare(request, errorText)) {
        return false;
    }
    Replace(std::move(operation));
    request_ = request;
    return true;
}

void SiteViewModel::Replace(std::unique_ptr<SiteOperation> next) {
    // The last run's operation may be the one whose Finished signal is being delivered (a page
    // that starts the push after its dry run): it goes once that is over, or with this object.
    if (operation_) {
        operation_->disconnect(this);
        operation_->Runner().disconnect(this);
        operation_->setParent(this);
        operation_.release()->deleteLater();
    }
    operation_ = std::move(next);
}

const QList<SiteFile::Controller>& SiteViewModel::Targets() const {
    static const QList<SiteFile::Controller> none;
    return operation_ ? operation_->Targets() : none;
}

void SiteViewModel::Start(const QHash<QString, QString>& passwords) {
    if (!operation_ || running_) {
        return;
    }
    QStringList names;
    for (const SiteFile::Controller& controller : operation_->Targets()) {
        names << controller.name;
    }
    controllers_.BeginRun(names);
    SiteRunner& runner = operation_->Runner();
    connect(&runner, &SiteRunner::StateChanged, this,
            [this, names](int index, const QString& state) {
                controllers_.SetState(names.value(index), state);
            });
    connect(&runner, &SiteRunner::ProgressChanged, this,
            [this, names](int index, qint64 done, qint64 total) {
                controllers_.SetProgress(names.value(index), done, total);
            });
    connect(operation_.get(), &SiteOperation::Finished, this, &SiteViewModel::OnFinished);
    running_ = true;
    Q_EMIT RunningChanged(true);
    operation_->Start(passwords);
}

void SiteViewModel::Cancel() {
    if (operation_ && running_) {
        operation_->Cancel();
    }
}

QString SiteViewModel::ActionName() const {
    switch (request_.command) {
        case SiteOperation::Command::Backup:
            return u"backup"_s;
        case SiteOperation::Command::Push:
            return u"push"_s;
        case SiteOperation::Command::Restore:
            return u"restore"_s;
        case SiteOperation::Command::Status:
            return u"status"_s;
    }
    return {};
}

void SiteViewModel::OnFinished() {
    running_ = false;
    const bool recorded = !request_.dryRun && request_.command != SiteOperation::Command::Status &&
                          operation_->RecordError().isEmpty();
    QString error;
    if (recorded) {
        (void)Reload(&error);
    }
    controllers_.FinishRun(ActionName(), operation_->Outcomes(), recorded);
    Q_EMIT RunningChanged(false);
    Q_EMIT RunFinished();
}

const QList<ControllerOutcome>& SiteViewModel::Outcomes() const {
    static const QList<ControllerOutcome> none;
    return operation_ ? operation_->Outcomes() : none;
}

QString SiteViewModel::Report() const {
    if (!operation_) {
        return {};
    }
    QString text = result_table::Report(operation_->Outcomes(), operation_->Commits());
    if (!operation_->RecordError().isEmpty()) {
        text += u"The history could not record the run: "_s + operation_->RecordError() + u'\n';
    }
    return text;
}

bool SiteViewModel::Succeeded() const {
    return operation_ && operation_->Succeeded();
}
