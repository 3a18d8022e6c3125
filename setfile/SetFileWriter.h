#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "setfile/MessageEntry.h"

class ProgressSink;
class QIODevice;

// Writes a message set file (layout in SetFileLayout.h) from a set name and its entries: the
// header, then each entry's wave file from offset 56 on in its own run of 512-byte sectors, then
// the closing padding, the total size and the CRC. Takes an optional progress display, which it
// gives the text "Adding: " + path for each message and "Calculating CRC value." at the end,
// advances once per copied 81920-byte chunk and asks whether to stop; it never shows a window,
// pauses or talks to the user itself. Every write, seek and read is checked; the first failure
// ends the write and is returned with the system's text for it.
//
// The CRC is computed while the bytes are written, so the file is not read back; it equals
// ComputeSetFileCrc of the finished file.
class SetFileWriter {
public:
    enum class Outcome {
        Written,
        TooManyMessages,  // subject: the number of entries
        NameTooLong,      // subject: the name (set name or message name) over 255 bytes
        NamesTooLong,     // the names together take more than 65535 bytes
        SetTooLarge,      // the file would be 4 GB or more
        CreateFailed,     // subject: the output path
        WaveNotOpened,    // subject: the wave file
        WaveNotAFile,     // subject: the wave file, a pipe, device or folder; reason: the text
        WaveTooShort,     // subject: the wave file, shorter than 36 bytes
        WaveReadFailed,   // subject: the wave file
        Cancelled,
        WriteFailed,  // subject: the output path
    };

    struct Result {
        Outcome outcome = Outcome::Written;
        QString subject;
        QString reason;       // the system's text for a failed create, read or write
        qint64 fileSize = 0;  // Written: the size of the file
        quint16 crc = 0;      // Written: the CRC stored at offset 0

        bool Ok() const { return outcome == Outcome::Written; }
    };

    // The message for a failed result, in the words the user reads; empty for Written.
    static QString FailureText(const Result& result, const QString& outputPath);

    // progress may be null: nothing is shown and nothing cancels.
    explicit SetFileWriter(ProgressSink* progress = nullptr) : progress_(progress) {}

    // Runs once the last message is copied, before the closing padding.
    void SetMessagesCopiedHook(std::function<void()> hook) { messagesCopied_ = std::move(hook); }

    // Refuses what the layout cannot hold: more than 1023 entries, a name of more than 255 bytes,
    // names of more than 65535 bytes together, a file of 4 GB or more by PredictedSize (so that
    // such a set is refused before anything is written; the write still checks the real sizes).
    static Result Validate(const QString& setName, const QList<MessageEntry>& entries);

    // The size of the file the set gives when each wave file still has the size its entry states.
    static qint64 PredictedSize(const QString& setName, const QList<MessageEntry>& entries);

    // Validates, then writes the set into output, which is open for writing, empty and at
    // position 0.
    Result Write(QIODevice& output, const QString& setName, const QList<MessageEntry>& entries);

    // Write for a set that Validate has accepted: the checks are not run a second time.
    Result WriteValidated(QIODevice& output, const QString& setName,
                          const QList<MessageEntry>& entries);

    // Validates, then writes the set into a temporary file beside outputPath that replaces
    // outputPath only when everything was written; on any failure outputPath is left as it was.
    Result WriteFile(const QString& outputPath, const QString& setName,
                     const QList<MessageEntry>& entries);

private:
    ProgressSink* progress_;
    std::function<void()> messagesCopied_;
};
