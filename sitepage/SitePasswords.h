#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

#include "sitepage/PasswordGroups.h"

class PasswordKeyring;

// The passwords of a run in the window: a controller whose password the desktop keyring keeps
// needs no question; the others are asked once per user name (for all the controllers that share
// it), and kept in the keyring only when the user ticked the box and the keyring can keep them.
class SitePasswords {
public:
    struct Answer {
        QString password;
        bool remember = false;
    };
    // Asks the password of a group; nullopt when the user cancels. keyringProblem: why the
    // keyring cannot keep it, empty when it can.
    using Asker = std::function<std::optional<Answer>(const PasswordGroup& group,
                                                      const QString& keyringProblem)>;

    void SetKeyring(PasswordKeyring* keyring) { keyring_ = keyring; }
    // Why the box that keeps a password is disabled; empty when it is not.
    QString KeyringProblem() const;

    // Adds to passwords (by controller name) those of the targets it lacks. False when the user
    // cancelled a question. What the keyring could not keep is in keyringError.
    [[nodiscard]] bool Complete(const QList<SiteFile::Controller>& targets, const Asker& asker,
                                QHash<QString, QString>* passwords, QString* keyringError) const;

private:
    PasswordKeyring* keyring_ = nullptr;
};
