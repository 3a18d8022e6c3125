#include "site/SiteRunner.h"

#include <QDir>
#include <QThread>
#include <algorithm>

#include "site/SiteJob.h"

using namespace Qt::StringLiterals;

SiteRunner::SiteRunner(QObject* parent) : QObject(parent) {}

SiteRunner::~SiteRunner() {
    cancel_ = true;
    for (QThread* thread : std::as_const(threads_)) {
        thread->wait();
        delete thread;
    }
}

void SiteRunner::Start(std::vector<std::unique_ptr<SiteJob>> jobs, const Options& options,
                       const QString& stagingFolder) {
    if (running_) {
        return;
    }
    for (QThread* thread : std::as_const(threads_)) {
        thread->wait();
        delete thread;
    }
    threads_.clear();
    jobs_ = std::move(jobs);
    options_ = options;
    options_.parallel = std::max(1, options_.parallel);
    stagingFolder_ = stagingFolder;
    cancel_ = false;
    next_ = 0;
    active_ = 0;
    outcomes_.clear();
    for (const std::unique_ptr<SiteJob>& job : jobs_) {
        ControllerOutcome waiting;
        waiting.controller = job->Controller().name;
        waiting.address = u"%1:%2"_s.arg(job->Controller().address).arg(job->Controller().port);
        outcomes_ << waiting;
    }
    running_ = true;
    StartNext();
}

void SiteRunner::Cancel() {
    cancel_ = true;
    // The controllers not started yet are cancelled at once.
    while (running_ && next_ < static_cast<int>(jobs_.size())) {
        const int index = next_++;
        outcomes_[index].result = ControllerOutcome::Result::Cancelled;
        outcomes_[index].message = u"Cancelled before it started."_s;
        Q_EMIT StateChanged(index, ResultName(outcomes_[index].result));
        Q_EMIT ControllerFinished(index);
    }
    if (running_ && active_ == 0) {
        running_ = false;
        Q_EMIT Finished();
    }
}

void SiteRunner::StartNext() {
    while (active_ < options_.parallel && next_ < static_cast<int>(jobs_.size())) {
        const int index = next_++;
        ++active_;
        SiteJob* job = jobs_[static_cast<size_t>(index)].get();
        const QString staging = QDir(stagingFolder_).filePath(job->Controller().name);
        const WorkerLimits limits = options_.limits;
        WorkerContext::Reporter reporter;
        // The worker never touches the runner: it queues calls into the runner's thread.
        reporter.state = [this, index](const QString& state) {
            QMetaObject::invokeMethod(
                this, [this, index, state] { Q_EMIT StateChanged(index, state); },
                Qt::QueuedConnection);
        };
        reporter.progress = [this, index](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(
                this, [this, index, done, total] { Q_EMIT ProgressChanged(index, done, total); },
                Qt::QueuedConnection);
        };
        QThread* thread = QThread::create([this, job, limits, staging, reporter, index] {
            const ControllerOutcome outcome =
                RunControllerJob(*job, limits, cancel_, staging, reporter);
            QMetaObject::invokeMethod(
                this, [this, index, outcome] { OnWorkerDone(index, outcome); },
                Qt::QueuedConnection);
        });
        threads_ << thread;
        thread->start();
    }
}

void SiteRunner::OnWorkerDone(int index, const ControllerOutcome& outcome) {
    outcomes_[index] = outcome;
    --active_;
    Q_EMIT ControllerFinished(index);
    StartNext();
    if (active_ == 0 && next_ >= static_cast<int>(jobs_.size()) && running_) {
        running_ = false;
        Q_EMIT Finished();
    }
}
