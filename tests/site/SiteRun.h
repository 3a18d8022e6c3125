#pragma once

#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "site/SiteOperation.h"
#include "tests/support/SimulatorFleet.h"

// Runs one command of the installation in folder to its end, as the window does: the operation's
// workers report to this thread's event loop. Null when it could not be prepared (the reason in
// errorText) or did not finish within a minute.
inline std::unique_ptr<SiteOperation> RunSite(const QString& folder,
                                              const SiteOperation::Request& request,
                                              const QString& password, QString* errorText) {
    auto operation = std::make_unique<SiteOperation>(folder);
    if (!operation->Prepare(request, errorText)) {
        return nullptr;
    }
    QHash<QString, QString> passwords;
    for (const SiteFile::Controller& controller : operation->Targets()) {
        passwords.insert(controller.name, password);
    }
    QSignalSpy finished(operation.get(), &SiteOperation::Finished);
    operation->Start(passwords);
    if (!finished.wait(60000)) {
        *errorText = QStringLiteral("the run did not finish");
        return nullptr;
    }
    return operation;
}

// Short pauses between tries, so that a test of three tries stays short.
inline SiteOperation::Request SiteRequest(SiteOperation::Command command) {
    SiteOperation::Request request;
    request.command = command;
    request.run.limits.retryPause = std::chrono::milliseconds(50);
    request.run.limits.timeLimit = std::chrono::seconds(60);
    return request;
}
