// The set file reader of "vantrel-set inspect", on any file.

#include <QBuffer>

#include "fuzz/FuzzInput.h"
#include "setfile/SetFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = fuzz_input::Bytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString error;
    const std::optional<SetFileReader::Report> report = SetFileReader::Read(buffer, &error);
    // Either a report or the reason there is none.
    if (!report && error.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
