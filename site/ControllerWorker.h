#pragma once

#include <QString>
#include <atomic>
#include <chrono>

#include "site/ControllerOutcome.h"
#include "site/WorkerContext.h"

class SiteJob;

// The work on one controller, from its worker thread: the job's tries under the retry rule
// (retry_rule), all within the controller's hard time limit, each with a session of its own.
// A transient failure is tried again after a pause (retryPause, then twice that), unless the
// limit or the run's cancel came first; a permanent one ends it. Returns the controller's row.
struct WorkerLimits {
    std::chrono::milliseconds timeLimit{300000};
    std::chrono::milliseconds retryPause{1000};
};

ControllerOutcome RunControllerJob(SiteJob& job, const WorkerLimits& limits,
                                   const std::atomic_bool& cancel, const QString& stagingFolder,
                                   const WorkerContext::Reporter& reporter);
