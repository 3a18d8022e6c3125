#include "site/WorkerContext.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "controller/FtpFailureText.h"
#include "site/WorkerProgress.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kAgent = u"vantrel-site"_s;

}  // namespace

WorkerContext::WorkerContext(const std::atomic_bool& cancel, const QDeadlineTimer& deadline,
                             QString stagingFolder, Reporter reporter)
    : cancel_(cancel),
      deadline_(deadline),
      stagingFolder_(std::move(stagingFolder)),
      reporter_(std::move(reporter)),
      session_(std::make_unique<ControllerSession>()) {
    progressFactory_ = std::make_unique<WorkerProgressFactory>(
        [this](qint64 bytes) { AddDone(bytes); }, [this] { return Stopped(); });
    session_->SetProgressFactory(progressFactory_.get());
    session_->SetProgressPause(0ms);
    sinceReport_.start();
}

WorkerContext::~WorkerContext() {
    session_.reset();  // logs out while the progress factory still exists
}

bool WorkerContext::Stopped() const {
    return Cancelled() || OutOfTime();
}

QString WorkerContext::StagingFile(const QString& area, const QString& path) const {
    const QString file = QDir(stagingFolder_).filePath(area + u'/' + path);
    QDir().mkpath(QFileInfo(file).path());
    return file;
}

bool WorkerContext::Budget() {
    if (Cancelled()) {
        return Fail(retry_rule::Failure::Other, u"Cancelled."_s);
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_.remainingTimeAsDuration());
    if (deadline_.hasExpired() || left <= 0ms) {
        return Fail(retry_rule::Failure::Other, u"The time limit was reached."_s);
    }
    const ControllerSession::Timeouts defaults;
    const auto share = std::max<std::chrono::milliseconds>(left / 4, 100ms);
    session_->SetTimeouts({std::min(defaults.connect, left), std::min(defaults.reply, share),
                           std::min(defaults.listing, share)});
    return true;
}

bool WorkerContext::Call(const std::function<bool()>& request) {
    if (!Budget()) {
        return false;
    }
    const bool done = request();
    session_->EndCommand();
    if (done) {
        return true;
    }
    if (Stopped()) {
        return Fail(retry_rule::Failure::Other,
                    Cancelled() ? u"Cancelled."_s : u"The time limit was reached."_s);
    }
    failure_ = retry_rule::Classify(session_->LastFailure());
    failureText_ = session_->LastError();
    return false;
}

bool WorkerContext::Connect(const SiteFile::Controller& controller, const QString& password) {
    SetState(u"connecting"_s);
    return Call([&] {
        return session_->Connect(kAgent, controller.address, controller.user, password,
                                 controller.port);
    });
}

bool WorkerContext::List(const QString& folder, bool missingIsEmpty, QList<RemoteEntry>* entries) {
    if (!Budget()) {
        return false;
    }
    const bool listed = session_->ListRemote(folder, entries);
    session_->EndCommand();
    if (listed) {
        return true;
    }
    if (Stopped()) {
        return Fail(retry_rule::Failure::Other,
                    Cancelled() ? u"Cancelled."_s : u"The time limit was reached."_s);
    }
    const FtpClient::Result& result = session_->LastFailure();
    const bool missing = result.failure == FtpClient::Failure::Refused &&
                         (result.reply.code == 450 || result.reply.code == 550);
    if (missing && missingIsEmpty) {
        return true;
    }
    failure_ = retry_rule::Classify(result);
    failureText_ = ftp_failure_text::For(
        u"Listing %1 failed"_s.arg(folder), ftp_failure_text::Request::Other, result,
        {session_->GetTimeouts().connect, session_->GetTimeouts().reply,
         session_->GetTimeouts().listing},
        session_->RememberedRemoteDirectory());
    return false;
}

bool WorkerContext::Download(const QString& remotePath, const QString& localFile) {
    return Call(
        [&] { return session_->Download(localFile, remotePath, TransferType::Binary, true); });
}

bool WorkerContext::Upload(const QString& remotePath, const QString& localFile) {
    return Call(
        [&] { return session_->Upload(remotePath, localFile, TransferType::Binary, true); });
}

bool WorkerContext::Fail(retry_rule::Failure failure, const QString& text) {
    failure_ = failure;
    failureText_ = text;
    return false;
}

void WorkerContext::SetState(const QString& state) {
    if (reporter_.state) {
        reporter_.state(state);
    }
}

void WorkerContext::SetTotal(qint64 bytes) {
    total_ = bytes;
    Report(true);
}

void WorkerContext::AddDone(qint64 bytes) {
    done_ += bytes;
    Report(false);
}

void WorkerContext::Report(bool force) {
    const bool complete = total_ > 0 && done_ >= total_;
    if (!reporter_.progress || (!force && !complete && sinceReport_.elapsed() < 100)) {
        return;
    }
    sinceReport_.restart();
    reporter_.progress(std::min(done_, total_), total_);
}
