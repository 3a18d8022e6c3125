#include "base/SettingsKeys.h"

QString SettingsKey::Read(const QString& settingsFile) const {
    return PrivateProfile::ReadString(settingsFile, Section(), Key(), Default(), bufferSize);
}

int SettingsKey::ReadInt(const QString& settingsFile) const {
    return PrivateProfile::ReadInt(settingsFile, Section(), Key(), Default().toInt());
}

bool SettingsKey::Write(const QString& settingsFile, const QString& value,
                        QString* errorText) const {
    return PrivateProfile::WriteString(settingsFile, Section(), Key(), value, errorText);
}
