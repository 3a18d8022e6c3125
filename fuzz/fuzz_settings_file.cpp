// The settings file layer (the profile functions and the category table that reads through
// them), on any file that could lie in the start directory. After a write the value written must
// read back, whatever else the file holds.

#include "app/PrivateProfile.h"
#include "fuzz/FuzzInput.h"
#include "transfer/CategorySettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path =
        fuzz_input::AsFile(fuzz_input::Bytes(data, size), QStringLiteral("Vantrel.ini"));
    if (path.isEmpty()) {
        return 0;
    }
    CategorySettings settings;
    settings.Load(path, QStringLiteral("/programs/vantrel"));
    PrivateProfile::ReadInt(path, QStringLiteral("Login"), QStringLiteral("IP0"), 0);
    PrivateProfile::ReadKeys(path, QStringLiteral("Messages"));
    const QString value = QStringLiteral("written value");
    if (PrivateProfile::WriteString(path, QStringLiteral("Login"), QStringLiteral("User Name"),
                                    value) &&
        PrivateProfile::ReadString(path, QStringLiteral("Login"), QStringLiteral("User Name"),
                                   {}) != value) {
        __builtin_trap();
    }
    return 0;
}
