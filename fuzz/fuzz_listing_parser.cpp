// The LIST reply parser, on any bytes a server might send.

#include "ftp/RemoteListParser.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<RemoteEntry> entries = RemoteListParser::Parse(fuzz_input::Bytes(data, size));
    for (const RemoteEntry& entry : entries) {
        // A parsed entry always has a name; "." and ".." are the caller's to skip.
        if (entry.name.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
