#include "ftp/ReceivedSizeCheck.h"

bool ReceivedSizeCheck::Take(const char* data, qint64 size) {
    if (ascii_) {
        for (qint64 index = 0; index < size; ++index) {
            lineEnds_ += lastWasCr_ && data[index] == '\n' ? 1 : 0;
            lastWasCr_ = data[index] == '\r';
        }
    }
    received_ += size;
    // The fewest bytes the received ones can stand for: LF line ends.
    tooMany_ = tooMany_ || (expected_ >= 0 && received_ - lineEnds_ > expected_);
    return !tooMany_;
}

bool ReceivedSizeCheck::Fits() const {
    return expected_ < 0 || (!tooMany_ && (received_ == expected_ ||
                                           (ascii_ && received_ - lineEnds_ == expected_)));
}
