#pragma once

#include <QByteArrayView>
#include <QString>

// The one wave format a message can have: PCM, mono, 16 bits per sample, 44100 samples per second,
// block alignment 2. Only the fields at the fixed offsets 20 to 35 are looked at; chunk names are
// not, so a file that has the right bytes there is taken whatever else it holds.
class WaveFormat {
public:
    enum class Verdict {
        Supported,
        Unreadable,   // cannot be opened, or shorter than 36 bytes
        Unsupported,  // readable, another format; *message tells what it is
    };

    // Reads the first 36 bytes of path. For Unsupported, message (when given) receives the text
    // for the user, which ends with the file's channels, bits and rate, as in
    // "The selected file is stereo, 16 bits, 48kHz.".
    static Verdict Examine(const QString& path, QString* message = nullptr);
    // The same for the first bytes of a file already read (Unreadable when fewer than 36).
    static Verdict ExamineHeader(QByteArrayView header, QString* message = nullptr);
};
