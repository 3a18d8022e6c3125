#include "site/ControllerWorker.h"

#include <QElapsedTimer>
#include <QThread>

#include "site/SiteJob.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Waits for the pause in short slices; false when the run was cancelled or the limit passed.
bool Pause(std::chrono::milliseconds pause, const std::atomic_bool& cancel,
           const QDeadlineTimer& deadline) {
    const QDeadlineTimer end(pause);
    while (!end.hasExpired()) {
        if (cancel.load() || deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(20);
    }
    return !cancel.load() && !deadline.hasExpired();
}

QString Seconds(std::chrono::milliseconds duration) {
    return QString::number(duration.count() / 1000.0, 'g', 4);
}

}  // namespace

ControllerOutcome RunControllerJob(SiteJob& job, const WorkerLimits& limits,
                                   const std::atomic_bool& cancel, const QString& stagingFolder,
                                   const WorkerContext::Reporter& reporter) {
    ControllerOutcome outcome;
    outcome.controller = job.Controller().name;
    outcome.address = u"%1:%2"_s.arg(job.Controller().address).arg(job.Controller().port);
    QElapsedTimer clock;
    clock.start();
    const QDeadlineTimer deadline(limits.timeLimit);
    QString lastFailure;
    for (int attempt = 1; attempt <= 1 + retry_rule::kExtraTries; ++attempt) {
        outcome.attempts = attempt;
        WorkerContext context(cancel, deadline, stagingFolder, reporter);
        const bool done = job.Run(context, outcome);
        if (done) {
            outcome.result = ControllerOutcome::Result::Done;
            break;
        }
        lastFailure = context.FailureText();
        if (context.Cancelled()) {
            outcome.result = ControllerOutcome::Result::Cancelled;
            lastFailure = u"Cancelled."_s;
            break;
        }
        outcome.result = ControllerOutcome::Result::Failed;
        if (context.OutOfTime()) {
            lastFailure = u"The time limit of %1 s was reached."_s.arg(Seconds(limits.timeLimit));
            break;
        }
        const retry_rule::Failure failure = context.Failure();
        if (!retry_rule::IsTransient(failure) || attempt > retry_rule::kExtraTries) {
            break;
        }
        if (reporter.state) {
            reporter.state(u"retrying: "_s + retry_rule::Describe(failure));
        }
        if (!Pause(limits.retryPause * attempt, cancel, deadline)) {
            outcome.result = cancel.load() ? ControllerOutcome::Result::Cancelled
                                           : ControllerOutcome::Result::Failed;
            lastFailure = cancel.load() ? u"Cancelled."_s
                                        : u"The time limit of %1 s was reached (%2)"_s.arg(
                                              Seconds(limits.timeLimit), lastFailure);
            break;
        }
    }
    if (outcome.result != ControllerOutcome::Result::Done) {
        outcome.message = lastFailure;
    }
    outcome.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    if (reporter.state) {
        reporter.state(ResultName(outcome.result));
    }
    return outcome;
}
