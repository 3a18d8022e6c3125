#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The port the login connects to: key "Port" of section "Login" in the settings file, 21 when the
// key is missing. Not among the original settings: it reaches a controller behind a forwarded port,
// or the simulator.
class LoginPort {
public:
    // The port, or nothing when the key holds no port number from 1 to 65535; errorText then says
    // which value is wrong and where it is.
    static std::optional<quint16> Read(const QString& settingsFile, QString* errorText);
};
