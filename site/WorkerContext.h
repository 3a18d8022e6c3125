#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "controller/ControllerSession.h"
#include "ftp/RemoteEntry.h"
#include "site/RetryRule.h"
#include "site/SiteFile.h"

class ProgressSinkFactory;

// What one try of a job on one controller works with, in the controller's worker thread: its own
// session, the shared cancel flag and the controller's hard time limit, its staging folder, and
// the channel that takes its state and progress to the thread that shows them. The worker has
// no event loop: every request to the session goes through Call, which ends the session's
// command afterwards (ControllerSession::EndCommand).
//
// The time limit is held by the session's timeouts: before each request every wait is cut to a
// quarter of the time left (the connect to all of it), so that a controller that answers slowly
// but answers still runs out within the limit, and between requests the limit is checked. A
// transfer's progress display looks at the limit and the cancel flag every 100 ms, so a
// stalled or trickling transfer stops at the limit too.
class WorkerContext {
public:
    // Tells the watching thread what the worker does; called from the worker thread.
    struct Reporter {
        std::function<void(const QString& state)> state;
        std::function<void(qint64 done, qint64 total)> progress;
    };

    WorkerContext(const std::atomic_bool& cancel, const QDeadlineTimer& deadline,
                  QString stagingFolder, Reporter reporter);
    ~WorkerContext();
    WorkerContext(const WorkerContext&) = delete;
    WorkerContext& operator=(const WorkerContext&) = delete;

    ControllerSession& Session() { return *session_; }
    // Cancelled, or the time limit passed.
    bool Stopped() const;
    bool Cancelled() const { return cancel_.load(); }
    bool OutOfTime() const { return deadline_.hasExpired(); }
    // The staging folder's file for path (a history path); its folder is made.
    QString StagingFile(const QString& area, const QString& path) const;

    // Logs in.
    [[nodiscard]] bool Connect(const SiteFile::Controller& controller, const QString& password);
    // The entries of a remote folder; a folder the controller does not have (450/550) gives
    // none when missingIsEmpty is set, and fails otherwise.
    [[nodiscard]] bool List(const QString& folder, bool missingIsEmpty,
                            QList<RemoteEntry>* entries);
    // Binary transfers: what lands is byte for byte what was sent.
    [[nodiscard]] bool Download(const QString& remotePath, const QString& localFile);
    [[nodiscard]] bool Upload(const QString& remotePath, const QString& localFile);
    // Runs one request within the limit; false sets the failure from the session.
    [[nodiscard]] bool Call(const std::function<bool()>& request);

    // A failure found on this side.
    bool Fail(retry_rule::Failure failure, const QString& text);
    retry_rule::Failure Failure() const { return failure_; }
    const QString& FailureText() const { return failureText_; }

    void SetState(const QString& state);
    // Bytes the try will move, and the bytes moved so far (reported at most every 100 ms).
    void SetTotal(qint64 bytes);
    void AddDone(qint64 bytes);
    qint64 Done() const { return done_; }

private:
    // Before a request: false when stopped (with the failure set); else cuts the waits.
    bool Budget();
    void Report(bool force);

    const std::atomic_bool& cancel_;
    QDeadlineTimer deadline_;
    QString stagingFolder_;
    Reporter reporter_;
    std::unique_ptr<ControllerSession> session_;
    std::unique_ptr<ProgressSinkFactory> progressFactory_;
    retry_rule::Failure failure_ = retry_rule::Failure::Other;
    QString failureText_;
    qint64 done_ = 0;
    qint64 total_ = 0;
    QElapsedTimer sinceReport_;
};
