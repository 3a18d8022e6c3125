#include "controller/LoginPort.h"

#include "base/SettingsKeys.h"

using namespace Qt::StringLiterals;

std::optional<quint16> LoginPort::Read(const QString& settingsFile, QString* errorText) {
    const int port = settings_keys::kPort.ReadInt(settingsFile);
    if (port < 1 || port > 65535) {
        if (errorText != nullptr) {
            *errorText =
                u"The port %1 in the settings file (section \"Login\", key \"Port\") "
                u"is not a port number from 1 to 65535."_s.arg(port);
        }
        return std::nullopt;
    }
    return static_cast<quint16>(port);
}
