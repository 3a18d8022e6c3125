#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

#include "site/ControllerOutcome.h"
#include "site/History.h"
#include "site/SiteFile.h"
#include "site/SiteRunner.h"
#include "transfer/FileCategory.h"

class SiteJob;

// One command over an installation, as the command-line tool and the window run it: Prepare reads
// the site file and what the history knows and makes one job per controller (in the thread that
// owns the history); Start runs them (SiteRunner); when the runner has finished, the outcome is
// recorded in the history (HistoryRecorder) and Finished is emitted. Progress and per-controller
// states come from Runner()'s signals.
class SiteOperation : public QObject {
    Q_OBJECT

public:
    enum class Command { Backup, Push, Restore, Status };

    struct Request {
        Command command = Command::Backup;
        QStringList only;  // controller names; empty: all
        SiteRunner::Options run;
        bool full = false;  // backup: read every file, compare by contents
        // push
        std::optional<FileCategory> category;
        QString localPath;
        bool dryRun = false;
        bool readBack = true;
        // restore
        QString remotePath;
        QString fromCommit;
    };

    explicit SiteOperation(const QString& siteFolder, QObject* parent = nullptr);
    ~SiteOperation() override;

    // Reads the site and the history and makes the jobs; false with the reason (nothing runs).
    [[nodiscard]] bool Prepare(const Request& request, QString* errorText);
    const SiteFile& Site() const { return site_; }
    // The controllers the jobs will log in to, in order.
    const QList<SiteFile::Controller>& Targets() const { return targets_; }
    // passwords: by controller name; a missing one is empty.
    void Start(const QHash<QString, QString>& passwords);
    void Cancel() { runner_.Cancel(); }
    SiteRunner& Runner() { return runner_; }

    // Once Finished came: the rows (with the sentences the record added), the commits made (the
    // files found before a push or restore, then the record of the change itself), and why the
    // history could not take the outcome, when it could not.
    const QList<ControllerOutcome>& Outcomes() const { return outcomes_; }
    const QStringList& Commits() const { return commits_; }
    const QString& RecordError() const { return recordError_; }
    // Whether every controller succeeded and the record was written.
    bool Succeeded() const;

Q_SIGNALS:
    void Finished();

private:
    bool PreparePush(const QList<SiteFile::Controller>& controllers, QString* errorText);
    bool PrepareRestore(const QList<SiteFile::Controller>& controllers, QString* errorText);
    void OnRunnerFinished();

    SiteFile site_;
    History history_;
    // Where the workers put the files they take; for a run that records, beside the history
    // (same file system: the history takes the files by renaming them), else in the system's
    // temporary folder, so that a dry run or a status writes nothing in the installation.
    std::unique_ptr<QTemporaryDir> staging_;
    SiteRunner runner_;
    Request request_;
    QList<SiteFile::Controller> targets_;
    std::vector<std::unique_ptr<SiteJob>> jobs_;
    QHash<QString, History::Files> known_;  // by controller
    QList<ControllerOutcome> outcomes_;
    QStringList commits_;
    QString recordError_;
};
