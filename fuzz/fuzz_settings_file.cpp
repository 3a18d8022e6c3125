// The settings file layer (the profile functions and the category table that reads through
// them), on any file that could lie in the start directory. After a write the value written must
// read back, and every other value of the sections looked at must read as it did before.

#include "base/PrivateProfile.h"
#include "fuzz/FuzzInput.h"
#include "transfer/CategorySettings.h"

namespace {

// Every value the reader sees in the sections the program keeps user input in, but the one the
// write replaces.
QStringList ValuesBesideUserName(const QString& path) {
    QStringList values;
    for (const QString& section : {QStringLiteral("Login"), QStringLiteral("Messages")}) {
        for (const QString& key : PrivateProfile::ReadKeys(path, section)) {
            if (key.compare(QStringLiteral("User Name"), Qt::CaseInsensitive) != 0) {
                values << section << key
                       << PrivateProfile::ReadString(path, section, key, {},
                                                     PrivateProfile::kUnlimitedBuffer);
            }
        }
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path =
        fuzz_input::AsFile(fuzz_input::Bytes(data, size), QStringLiteral("Vantrel.ini"));
    if (path.isEmpty()) {
        return 0;
    }
    CategorySettings settings;
    settings.Load(path, QStringLiteral("/programs/vantrel"));
    PrivateProfile::ReadInt(path, QStringLiteral("Login"), QStringLiteral("IP0"), 0);
    const QStringList before = ValuesBesideUserName(path);
    const QString value = QStringLiteral("written value");
    if (!PrivateProfile::WriteString(path, QStringLiteral("Login"), QStringLiteral("User Name"),
                                     value)) {
        return 0;
    }
    if (PrivateProfile::ReadString(path, QStringLiteral("Login"), QStringLiteral("User Name"),
                                   {}) != value ||
        ValuesBesideUserName(path) != before) {
        __builtin_trap();
    }
    return 0;
}
