#include "site/SiteOperation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "site/FileDigest.h"
#include "site/HistoryRecorder.h"
#include "site/MirrorJob.h"
#include "site/PushJob.h"
#include "site/SitePaths.h"
#include "transfer/CategorySettings.h"
#include "transfer/TransferNameRules.h"

using namespace Qt::StringLiterals;

namespace {

bool WriteFile(const QString& path, const QByteArray& contents, QString* errorText) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.flush()) {
        *errorText = u"Cannot write %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace

SiteOperation::SiteOperation(const QString& siteFolder, QObject* parent)
    : QObject(parent), site_(siteFolder) {
    connect(&runner_, &SiteRunner::Finished, this, &SiteOperation::OnRunnerFinished);
}

SiteOperation::~SiteOperation() = default;

bool SiteOperation::Prepare(const Request& request, QString* errorText) {
    request_ = request;
    jobs_.clear();
    known_.clear();
    if (!site_.Load(errorText)) {
        return false;
    }
    QList<SiteFile::Controller> controllers;
    if (!site_.Select(request.only, &controllers, errorText)) {
        return false;
    }
    if (controllers.isEmpty()) {
        *errorText =
            u"The installation has no controller yet: add one with 'vantrel-site add "
            u"NAME ADDRESS'."_s;
        return false;
    }
    const bool records = request.command != Command::Status && !request.dryRun;
    staging_ = records ? std::make_unique<QTemporaryDir>(
                             QDir(site_.Folder()).filePath(u".vantrel-staging-XXXXXX"_s))
                       : std::make_unique<QTemporaryDir>();
    if (!staging_->isValid()) {
        *errorText = u"No temporary folder can be made: "_s + staging_->errorString();
        return false;
    }
    if (!history_.Open(site_.HistoryPath(), true, errorText)) {
        return false;
    }
    const bool digests = request.command != Command::Backup || request.full;
    for (const SiteFile::Controller& controller : controllers) {
        History::Files files;
        if (!history_.FilesOf(controller.name, QString(), digests, &files, errorText)) {
            return false;
        }
        known_.insert(controller.name, files);
    }
    switch (request.command) {
        case Command::Backup:
        case Command::Status:
            for (const SiteFile::Controller& controller : controllers) {
                QHash<QString, QString> sets;
                const History::Files& files = known_.value(controller.name);
                for (auto it = files.cbegin();
                     request.command == Command::Status && it != files.cend(); ++it) {
                    if (!it.key().endsWith(u".set"_s, Qt::CaseInsensitive)) {
                        continue;
                    }
                    const auto contents =
                        history_.Read(controller.name, it.key(), QString(), errorText);
                    const QString copy =
                        QDir(staging_->path())
                            .filePath(u"history-sets/"_s + controller.name + u'/' + it.key());
                    if (!contents || !WriteFile(copy, *contents, errorText)) {
                        return false;
                    }
                    sets.insert(it.key(), copy);
                }
                jobs_.push_back(std::make_unique<MirrorJob>(
                    request.command == Command::Backup ? MirrorJob::Mode::Backup
                                                       : MirrorJob::Mode::Status,
                    request.full, files, sets, site_.CardPath()));
            }
            break;
        case Command::Push:
            if (!PreparePush(controllers, errorText)) {
                return false;
            }
            break;
        case Command::Restore:
            if (!PrepareRestore(controllers, errorText)) {
                return false;
            }
            break;
    }
    targets_ = controllers;
    for (size_t i = 0; i < jobs_.size(); ++i) {
        jobs_[i]->SetController(controllers.at(static_cast<qsizetype>(i)), QString());
    }
    return true;
}

bool SiteOperation::PreparePush(const QList<SiteFile::Controller>& controllers,
                                QString* errorText) {
    const FileCategory category = *request_.category;
    const QFileInfo local(request_.localPath);
    const CategorySettings settings;
    QList<PushJob::Item> items;
    if (category == FileCategory::Web) {
        if (!local.isDir()) {
            *errorText = u"The web category pushes a whole tree: %1 is not a folder."_s.arg(
                request_.localPath);
            return false;
        }
        const QString root = local.absoluteFilePath();
        for (const QString& file : settings.CollectWebFiles(root)) {
            const QString below = QDir(root).relativeFilePath(file);
            for (const QString& part : below.split(u'/')) {
                if (TransferNameRules::IsRefusedLocalName(part)) {
                    *errorText =
                        u"%1 has a \"\\\" in its name, which the controller takes as a "
                        u"folder separator: rename it first."_s.arg(file);
                    return false;
                }
            }
            const QString remote = settings.WebRemotePath(root, file);
            items << PushJob::Item{file, remote, site_paths::ToHistory(remote),
                                   QFileInfo(file).size(), file_digest::OfFile(file)};
        }
        if (items.isEmpty()) {
            *errorText = u"%1 holds no web files (%2)."_s.arg(
                request_.localPath, settings.CategoryExtension(FileCategory::Web));
            return false;
        }
    } else {
        if (!local.exists() || !TransferNameRules::IsTransferableFile(local)) {
            *errorText = u"%1 is not a file that can be sent."_s.arg(request_.localPath);
            return false;
        }
        if (TransferNameRules::IsRefusedLocalName(local.fileName())) {
            *errorText =
                u"%1 has a \"\\\" in its name, which the controller takes as a folder "
                u"separator: rename it first."_s.arg(local.fileName());
            return false;
        }
        const QString remote = settings.RemoteDirectoryFor(category) + u'\\' + local.fileName();
        const QByteArray digest = file_digest::OfFile(local.absoluteFilePath());
        if (digest.isEmpty()) {
            *errorText = u"%1 cannot be read."_s.arg(request_.localPath);
            return false;
        }
        items << PushJob::Item{local.absoluteFilePath(), remote, site_paths::ToHistory(remote),
                               local.size(), digest};
    }
    PushJob::Options options;
    options.category = category;
    options.dryRun = request_.dryRun;
    options.readBack = request_.readBack;
    for (const SiteFile::Controller& controller : controllers) {
        jobs_.push_back(std::make_unique<PushJob>(items, known_.value(controller.name),
                                                  site_.CardPath(), options));
    }
    return true;
}

bool SiteOperation::PrepareRestore(const QList<SiteFile::Controller>& controllers,
                                   QString* errorText) {
    const QString wanted = site_paths::ToHistory(site_paths::ToRemote(request_.remotePath));
    if (wanted.isEmpty()) {
        *errorText = u"\"%1\" is not a remote path."_s.arg(request_.remotePath);
        return false;
    }
    const QString commit = history_.Resolve(request_.fromCommit, errorText);
    if (commit.isEmpty()) {
        return false;
    }
    request_.fromCommit = commit;  // the record names the commit, not "the latest"
    PushJob::Options options;
    options.verb = u"restored"_s;
    for (const SiteFile::Controller& controller : controllers) {
        History::Files files;
        if (!history_.FilesOf(controller.name, commit, true, &files, errorText)) {
            return false;
        }
        QList<PushJob::Item> items;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            if (it.key() != wanted && !it.key().startsWith(wanted + u'/')) {
                continue;
            }
            const auto contents = history_.Read(controller.name, it.key(), commit, errorText);
            const QString copy =
                QDir(staging_->path())
                    .filePath(u"restore-from/"_s + controller.name + u'/' + it.key());
            if (!contents || !WriteFile(copy, *contents, errorText)) {
                return false;
            }
            items << PushJob::Item{copy, site_paths::ToRemote(it.key()), it.key(), it->size,
                                   it->sha256};
        }
        if (items.isEmpty()) {
            *errorText = u"The history has no %1 for %2 in commit %3."_s.arg(
                wanted, controller.name, commit.left(12));
            return false;
        }
        jobs_.push_back(std::make_unique<PushJob>(items, known_.value(controller.name),
                                                  site_.CardPath(), options));
    }
    return true;
}

void SiteOperation::Start(const QHash<QString, QString>& passwords) {
    commits_.clear();
    recordError_.clear();
    for (size_t i = 0; i < jobs_.size(); ++i) {
        const SiteFile::Controller& controller = targets_.at(static_cast<qsizetype>(i));
        jobs_[i]->SetController(controller, passwords.value(controller.name));
    }
    runner_.Start(std::move(jobs_), request_.run, staging_->path());
    jobs_.clear();
}

void SiteOperation::OnRunnerFinished() {
    outcomes_ = runner_.Outcomes();
    const bool records = request_.command != Command::Status && !request_.dryRun;
    if (records) {
        HistoryRecorder recorder(history_, site_);
        QString error;
        if (!recorder.Record(request_, known_, outcomes_, &commits_, &error)) {
            recordError_ = error;
        }
    }
    Q_EMIT Finished();
}

bool SiteOperation::Succeeded() const {
    if (!recordError_.isEmpty()) {
        return false;
    }
    for (const ControllerOutcome& outcome : outcomes_) {
        if (outcome.result != ControllerOutcome::Result::Done) {
            return false;
        }
    }
    return true;
}
