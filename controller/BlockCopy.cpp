#include "controller/BlockCopy.h"

#include <algorithm>
#include <cstring>

#include "base/ProgressSink.h"

BlockCopy::BlockCopy(QIODevice& file, ProgressSink* progress, Display display)
    : file_(file), progress_(progress), display_(display), block_(kBlockSize) {}

bool BlockCopy::Step() {
    if (progress_ == nullptr) {
        return true;
    }
    if (display_ == Display::Advanced) {
        progress_->Advance();
    }
    progress_->PumpMessages();
    sinceLastPump_.start();
    if (progress_->IsCancelled()) {
        cancelled_ = true;
        return false;
    }
    return true;
}

bool BlockCopy::Tick() {
    if (progress_ == nullptr || cancelled_) {
        return !cancelled_;
    }
    // Not before the first block: until data moves the waits are bounded by the reply timeout.
    if (!sinceLastPump_.isValid() || sinceLastPump_.elapsed() < kTickIntervalMs) {
        return true;
    }
    progress_->PumpMessages();
    sinceLastPump_.start();
    if (progress_->IsCancelled()) {
        cancelled_ = true;
        return false;
    }
    return true;
}

bool BlockCopy::FillBlock() {
    if (!Step()) {
        return false;
    }
    const qint64 count = file_.read(block_.data(), kBlockSize);
    if (count < 0) {
        fileError_ = file_.errorString();
        return false;
    }
    filled_ = count;
    consumed_ = 0;
    endOfFile_ = count < kBlockSize;
    return true;
}

size_t BlockCopy::ReadForUpload(char* buffer, size_t size) {
    // Hands over as many blocks as there is room for: fewer, larger sends.
    size_t given = 0;
    while (given < size) {
        if (consumed_ == filled_) {
            if (endOfFile_) {
                break;
            }
            if (!FillBlock()) {
                return kAbort;
            }
            if (filled_ == 0) {
                break;
            }
        }
        const size_t count = std::min(size - given, static_cast<size_t>(filled_ - consumed_));
        std::memcpy(buffer + given, block_.data() + consumed_, count);
        consumed_ += static_cast<qsizetype>(count);
        given += count;
    }
    return given;
}

bool BlockCopy::FinishUpload() {
    if (endOfFile_ || cancelled_) {
        return !cancelled_;
    }
    // The end of the file was never asked for: the last read is made here so that every block
    // gets its step and a cancel is still seen.
    return FillBlock();
}

bool BlockCopy::FlushBlock() {
    if (filled_ > 0 && file_.write(block_.data(), filled_) != filled_) {
        fileError_ = file_.errorString();
        return false;
    }
    filled_ = 0;
    blockStarted_ = false;
    return true;
}

size_t BlockCopy::WriteFromDownload(const char* data, size_t size) {
    size_t taken = 0;
    while (taken < size) {
        if (!blockStarted_) {
            if (!Step()) {
                return taken;  // anything short of size stops the transfer
            }
            blockStarted_ = true;
        }
        const size_t count = std::min(size - taken, static_cast<size_t>(kBlockSize - filled_));
        std::memcpy(block_.data() + filled_, data + taken, count);
        filled_ += static_cast<qsizetype>(count);
        taken += count;
        if (filled_ == kBlockSize && !FlushBlock()) {
            return 0;
        }
    }
    return size;
}

bool BlockCopy::FinishDownload() {
    if (!blockStarted_ && !Step()) {
        return false;
    }
    return FlushBlock();
}
