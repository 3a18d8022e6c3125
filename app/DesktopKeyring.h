#pragma once

#include "controller/PasswordKeyring.h"

// The desktop keyring through QtKeychain (the Secret Service of the desktop session on Linux):
// the only place a password is ever kept, and only when the user asked for it. Never falls back
// to a file. Each call waits for the keyring at most a few seconds, in a local event loop.
class DesktopKeyring : public PasswordKeyring {
public:
    QString Problem() override;
    std::optional<QString> Read(const QString& key) override;
    [[nodiscard]] bool Write(const QString& key, const QString& password,
                             QString* errorText) override;
};
