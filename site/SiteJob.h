#pragma once

#include <QString>

#include "site/ControllerOutcome.h"
#include "site/SiteFile.h"

class WorkerContext;

// What a run does on one controller (backup, push, restore, status), in the controller's worker
// thread. The worker calls Run once per try, with a fresh context (a new session) each time, on
// the same job: what must survive a failed try (the files a push replaces, taken before its
// first upload) stays in the job. Run fills the outcome's files and message; on failure it
// returns false with the failure in the context.
class SiteJob {
public:
    virtual ~SiteJob() = default;
    virtual bool Run(WorkerContext& context, ControllerOutcome& outcome) = 0;

    void SetController(const SiteFile::Controller& controller, const QString& password) {
        controller_ = controller;
        password_ = password;
    }
    const SiteFile::Controller& Controller() const { return controller_; }
    const QString& Password() const { return password_; }

private:
    SiteFile::Controller controller_;
    QString password_;
};
