// The wave format check, on any file a user could pick in the folder tree.

#include "audio/WaveFormat.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz_input::AsFile(fuzz_input::Bytes(data, size), QStringLiteral("x.wav"));
    if (path.isEmpty()) {
        return 0;
    }
    QString message;
    const WaveFormat::Verdict verdict = WaveFormat::Examine(path, &message);
    // A refusal always says why; a file under 36 bytes is never taken.
    if ((verdict == WaveFormat::Verdict::Unsupported && message.isEmpty()) ||
        (verdict == WaveFormat::Verdict::Supported && size < 36)) {
        __builtin_trap();
    }
    return 0;
}
