// The info file reader, on any file that could be named "<set>.nfo".

#include "fuzz/FuzzInput.h"
#include "setfile/InfoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path =
        fuzz_input::AsFile(fuzz_input::Bytes(data, size), QStringLiteral("set.nfo"));
    if (path.isEmpty()) {
        return 0;
    }
    MessageSetModel model;
    InfoFile(QStringLiteral("Vantrel")).ReadInfoFile(model, path);
    return 0;
}
