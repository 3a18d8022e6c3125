#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

#include "site/ControllerOutcome.h"
#include "site/ControllerWorker.h"

class QThread;
class SiteJob;

// Runs one job per controller, at most `parallel` at a time, each in a worker thread of its own
// with its own session (nothing is shared but the results, which come back through queued
// calls into the runner's thread). Lives in the thread that watches (the window's, or the
// command-line tool's main thread), whose event loop must run; every signal is emitted there.
// One Cancel stops all: workers look at the flag between requests and during transfers, and
// controllers not yet started are reported cancelled. The destructor cancels and waits for the
// workers still running.
class SiteRunner : public QObject {
    Q_OBJECT

public:
    struct Options {
        int parallel = 8;
        WorkerLimits limits;
    };

    explicit SiteRunner(QObject* parent = nullptr);
    ~SiteRunner() override;

    // Starts the jobs (the runner keeps them until the next Start); each worker stages its files
    // in stagingFolder/<controller>. Not while running.
    void Start(std::vector<std::unique_ptr<SiteJob>> jobs, const Options& options,
               const QString& stagingFolder);
    void Cancel();
    bool IsRunning() const { return running_; }

    // One row per job, in the order given; final once Finished came.
    const QList<ControllerOutcome>& Outcomes() const { return outcomes_; }

Q_SIGNALS:
    // What the controller's worker does now ("connecting", "listing", "sending", "retrying:
    // ...", and at the end its result).
    void StateChanged(int index, const QString& state);
    // Bytes of the current try: done of total.
    void ProgressChanged(int index, qint64 done, qint64 total);
    void ControllerFinished(int index);
    void Finished();

private:
    void StartNext();
    void OnWorkerDone(int index, const ControllerOutcome& outcome);

    std::vector<std::unique_ptr<SiteJob>> jobs_;
    QList<ControllerOutcome> outcomes_;
    QList<QThread*> threads_;
    Options options_;
    QString stagingFolder_;
    int next_ = 0;
    int active_ = 0;
    bool running_ = false;
    std::atomic_bool cancel_{false};
};
