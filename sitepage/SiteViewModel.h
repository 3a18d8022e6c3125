#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

#include "site/SiteFile.h"
#include "site/SiteOperation.h"
#include "sitepage/ControllerTableModel.h"
#include "sitepage/RecordDetailModel.h"
#include "sitepage/RecordModel.h"

// What the Site page shows and does, without a widget: the open installation (its site file and
// record), the controllers' table and the record's tables, and the one run at a time on its
// controllers (backup, push with its dry run, restore) with the same operation, rules and texts
// as the command-line tool. The run works in worker threads; its states and progress reach the
// table through queued signals, so the window's thread only watches.
class SiteViewModel : public QObject {
    Q_OBJECT

public:
    explicit SiteViewModel(QObject* parent = nullptr);
    ~SiteViewModel() override;

    // Opens the installation folder; false with the reason (the one open before stays).
    [[nodiscard]] bool Open(const QString& folder, QString* errorText);
    // Makes an installation folder (site.ini and the history) and opens it.
    [[nodiscard]] bool Create(const QString& folder, const QString& name, const QString& engineer,
                              QString* errorText);
    bool IsOpen() const { return site_ != nullptr; }
    // Valid only while IsOpen().
    const SiteFile& Site() const { return *site_; }
    // Reads the record and the controllers' last actions again.
    [[nodiscard]] bool Reload(QString* errorText);

    // Edits of site.ini; not while a run goes on.
    [[nodiscard]] bool AddController(const SiteFile::Controller& controller, QString* errorText);
    [[nodiscard]] bool ReplaceController(int row, const SiteFile::Controller& controller,
                                         QString* errorText);
    [[nodiscard]] bool RemoveController(int row, QString* errorText);

    ControllerTableModel& Controllers() { return controllers_; }
    RecordModel& Record() { return record_; }
    RecordDetailModel& RecordDetail() { return detail_; }
    // Shows the record lines of the record's row.
    void SelectRecord(int row);

    // Requests as the command-line tool makes them. names: the controllers; empty: all.
    SiteOperation::Request BackupRequest() const;
    SiteOperation::Request PushRequest(FileCategory category, const QString& localPath,
                                       const QStringList& names, bool dryRun) const;
    // Puts the file of the detail's row back from the commit before the push; false with the
    // reason when that commit cannot be found.
    [[nodiscard]] bool RestoreRequest(int detailRow, SiteOperation::Request* request,
                                      QString* errorText);
    // The run's limits (tests shorten them).
    void SetRunOptions(const SiteRunner::Options& options) { runOptions_ = options; }

    // Reads the site and the history for the request; false with the reason (nothing runs).
    // The controllers it will log in to are then Targets(). Not while running.
    [[nodiscard]] bool Prepare(const SiteOperation::Request& request, QString* errorText);
    const QList<SiteFile::Controller>& Targets() const;
    // passwords: by controller name.
    void Start(const QHash<QString, QString>& passwords);
    // Stops every controller of the run; each is reported cancelled, what was done is recorded.
    void Cancel();
    bool IsRunning() const { return running_; }

    // Of the last run, once RunFinished came: its rows, and the text the command-line tool prints
    // at its end (details, the result table, the commits, and why the record failed, if it did).
    const QList<ControllerOutcome>& Outcomes() const;
    QString Report() const;
    bool Succeeded() const;

Q_SIGNALS:
    void RunningChanged(bool running);
    void RunFinished();
    // The site was opened, created or edited.
    void SiteChanged();

private:
    void OnFinished();
    // Makes next the current operation; the one before is deleted later.
    void Replace(std::unique_ptr<SiteOperation> next);
    QString ActionName() const;

    std::unique_ptr<SiteFile> site_;
    ControllerTableModel controllers_;
    RecordModel record_;
    RecordDetailModel detail_;
    std::unique_ptr<SiteOperation> operation_;
    SiteOperation::Request request_;
    SiteRunner::Options runOptions_;
    bool running_ = false;
};
