#include "setfile/CrcAccumulator.h"

#include <array>

#include "setfile/SetFileCrc.h"

void CrcAccumulator::Add(const char* data, qint64 length) {
    length = qMin(length, limit_ - count_);
    if (length <= 0) {
        return;
    }
    count_ += length;
    auto bytes = reinterpret_cast<const uchar*>(data);
    if (hasPending_) {
        const uchar pair[2] = {pending_, bytes[0]};
        crc_ = UpdateCrcFast(pair, 2, crc_);
        hasPending_ = false;
        ++bytes;
        --length;
    }
    const qint64 even = length & ~qint64(1);
    crc_ = UpdateCrcFast(bytes, even, crc_);
    if (even < length) {
        hasPending_ = true;
        pending_ = bytes[even];
    }
}

void CrcAccumulator::AddZeros(qint64 count) {
    static const std::array<char, 4096> zeros{};
    while (count > 0) {
        const qint64 piece = qMin<qint64>(count, zeros.size());
        Add(zeros.data(), piece);
        count -= piece;
    }
}

quint16 CrcAccumulator::Value() const {
    if (!hasPending_) {
        return crc_;
    }
    const uchar pair[2] = {pending_, 0};
    return UpdateCrcFast(pair, 2, crc_);
}
