#include "app/DesktopKeyring.h"

#include <qt6keychain/keychain.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"Vantrel"_s;
const QString kSecretService = u"org.freedesktop.secrets"_s;
constexpr int kWaitMs = 5000;

struct Outcome {
    bool finished = false;
    QKeychain::Error error = QKeychain::NoError;
    QString errorText;
    QString password;
};

// Runs the job (which deletes itself once finished) and waits for it; a job still running when
// the wait is over reports into the shared outcome nobody reads any more.
std::shared_ptr<Outcome> RunJob(QKeychain::Job* job) {
    auto outcome = std::make_shared<Outcome>();
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never a file
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [outcome, &loop](QKeychain::Job* done) {
        outcome->finished = true;
        outcome->error = done->error();
        outcome->errorText = done->errorString();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) {
            outcome->password = read->textData();
        }
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!outcome->finished) {
        loop.exec();
    }
    return outcome;
}

}  // namespace

QString DesktopKeyring::Problem() {
#if defined(Q_OS_LINUX)
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return u"No desktop session bus: the desktop keyring cannot be reached."_s;
    }
    const QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr || (!names->isServiceRegistered(kSecretService).value() &&
                             !names->activatableServiceNames().value().contains(kSecretService))) {
        return u"No desktop keyring (Secret Service) runs in this session."_s;
    }
#endif
    return {};
}

std::optional<QString> DesktopKeyring::Read(const QString& key) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    const std::shared_ptr<Outcome> outcome = RunJob(job);
    if (!outcome->finished || outcome->error != QKeychain::NoError) {
        return std::nullopt;
    }
    return outcome->password;
}

bool DesktopKeyring::Write(const QString& key, const QString& password, QString* errorText) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(password);
    const std::shared_ptr<Outcome> outcome = RunJob(job);
    if (!outcome->finished) {
        *errorText = u"the keyring did not answer within %1 seconds."_s.arg(kWaitMs / 1000);
        return false;
    }
    if (outcome->error != QKeychain::NoError) {
        *errorText = outcome->errorText;
        return false;
    }
    return true;
}
