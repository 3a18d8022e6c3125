#pragma once

#include <QElapsedTimer>
#include <QIODevice>
#include <QString>
#include <cstddef>
#include <vector>

class ProgressSink;

// The file side of one transfer, fed by the data connection. The file is read or written in whole
// blocks of kBlockSize bytes, whatever pieces the network delivers; before each block read from
// the source (the last, short one included) the progress display, when given, is advanced and
// pumped and its cancel flag read. Between blocks Tick() pumps it again whenever kTickInterval
// passed without a pump, so a transfer that trickles can still be cancelled. A display that
// counts something else (the files of a web upload) is only pumped and read, never advanced.
// Owns the one block buffer of the transfer; the file and the display belong to the caller.
class BlockCopy {
public:
    static constexpr qsizetype kBlockSize = 40960;

    enum class Display {
        Advanced,    // the display counts this file's blocks
        PumpedOnly,  // the display counts something else: pumped and read only
    };

    // progress: null when progress is not shown (then nothing is pumped and nothing cancels).
    BlockCopy(QIODevice& file, ProgressSink* progress, Display display = Display::Advanced);

    static constexpr qint64 kTickIntervalMs = 100;

    // Upload: fills buffer with up to size bytes of the local file. Returns the count, 0 at the
    // end, or kAbort after a cancel or a read error.
    static constexpr size_t kAbort = static_cast<size_t>(-1);
    size_t ReadForUpload(char* buffer, size_t size);
    // Download: takes size bytes from the network. Returns size, or something else after a cancel
    // or a write error (which stops the transfer).
    size_t WriteFromDownload(const char* data, size_t size);
    // Download: after the last byte arrived, the last (short) block: its progress step and write.
    // False after a cancel or a write error.
    [[nodiscard]] bool FinishDownload();
    // Upload: the steps a transfer that ended early never asked for (an empty file that was never
    // read). False after a cancel or a read error.
    [[nodiscard]] bool FinishUpload();
    // Once the first block started: pumps the display and reads its cancel flag when the last
    // pump is kTickIntervalMs old.
    // False once cancelled.
    [[nodiscard]] bool Tick();

    bool Cancelled() const { return cancelled_; }
    // The local file's error, empty when there was none.
    const QString& FileError() const { return fileError_; }

private:
    // Advance (unless PumpedOnly), pump, read the cancel flag. False when cancelled.
    bool Step();
    bool FillBlock();
    bool FlushBlock();

    QIODevice& file_;
    ProgressSink* progress_;
    Display display_;
    std::vector<char> block_;
    qsizetype filled_ = 0;    // bytes held in block_
    qsizetype consumed_ = 0;  // upload: bytes of block_ handed to the network
    bool blockStarted_ = false;
    bool endOfFile_ = false;
    bool cancelled_ = false;
    QString fileError_;
    QElapsedTimer sinceLastPump_;
};
