#include "sitepage/SitePasswords.h"

#include "controller/PasswordKeyring.h"

using namespace Qt::StringLiterals;

namespace {

QString KeyOf(const SiteFile::Controller& controller) {
    return PasswordKeyring::KeyOf(controller.address, controller.port, controller.user);
}

}  // namespace

QString SitePasswords::KeyringProblem() const {
    return keyring_ != nullptr ? keyring_->Problem()
                               : u"No desktop keyring is set up for the tool."_s;
}

bool SitePasswords::Complete(const QList<SiteFile::Controller>& targets, const Asker& asker,
                             QHash<QString, QString>* passwords, QString* keyringError) const {
    const QString problem = KeyringProblem();
    for (const PasswordGroup& group : password_groups::ByUser(targets)) {
        PasswordGroup missing{group.user, {}};
        for (const SiteFile::Controller& controller : group.controllers) {
            if (passwords->contains(controller.name)) {
                continue;
            }
            const std::optional<QString> kept =
                problem.isEmpty() ? keyring_->Read(KeyOf(controller)) : std::nullopt;
            if (kept) {
                passwords->insert(controller.name, *kept);
            } else {
                missing.controllers << controller;
            }
        }
        if (missing.controllers.isEmpty()) {
            continue;
        }
        const std::optional<Answer> answer = asker(missing, problem);
        if (!answer) {
            return false;
        }
        for (const SiteFile::Controller& controller : std::as_const(missing.controllers)) {
            passwords->insert(controller.name, answer->password);
            QString error;
            if (answer->remember && problem.isEmpty() &&
                !keyring_->Write(KeyOf(controller), answer->password, &error)) {
                *keyringError = error;
            }
        }
    }
    return true;
}
