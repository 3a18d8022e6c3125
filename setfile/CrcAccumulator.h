#pragma once

#include <QtGlobal>
#include <limits>

// The set file CRC (see SetFileCrc.h) of a stream of bytes fed in pieces of any length, as a file
// is written: a piece may end between the two bytes of a pair. Bytes beyond limit are not taken,
// like the bytes beyond the coverage of the read-back CRC.
class CrcAccumulator {
public:
    explicit CrcAccumulator(qint64 limit = std::numeric_limits<qint64>::max()) : limit_(limit) {}

    void Add(const char* data, qint64 length);
    void AddZeros(qint64 count);

    // The CRC of the bytes taken so far; an odd last byte counts as paired with a zero byte.
    quint16 Value() const;
    // The number of bytes taken (at most limit).
    qint64 Count() const { return count_; }

private:
    qint64 limit_;
    qint64 count_ = 0;
    quint16 crc_ = 0;
    bool hasPending_ = false;  // the first byte of a pair, waiting for its second
    uchar pending_ = 0;
};
