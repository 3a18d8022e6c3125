#pragma once

#include <QString>
#include <optional>

// The desktop keyring, where a password is kept only when the user asked for it (never in a
// file). Passwords are found by the controller's address, port and user name, so that every page
// that logs in to that controller finds the same one.
class PasswordKeyring {
public:
    virtual ~PasswordKeyring() = default;

    // Empty when the keyring can keep passwords; else why it cannot (for the tool tip of the box
    // that would keep one).
    virtual QString Problem() = 0;
    // The password kept for key; nullopt when there is none or the keyring cannot be read.
    virtual std::optional<QString> Read(const QString& key) = 0;
    // Keeps the password; false with the reason.
    [[nodiscard]] virtual bool Write(const QString& key, const QString& password,
                                     QString* errorText) = 0;

    // "user@address:port".
    static QString KeyOf(const QString& address, quint16 port, const QString& user) {
        return QStringLiteral("%1@%2:%3").arg(user, address).arg(port);
    }
};
