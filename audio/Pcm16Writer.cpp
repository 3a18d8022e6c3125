#include "audio/Pcm16Writer.h"

#include <QIODevice>
#include <QtEndian>

#include "base/WriteAll.h"

using namespace Qt::StringLiterals;

namespace {
// The most samples the 32-bit size fields of a wave file can count.
constexpr qint64 kMaxSamples = (0xFFFFFFFFLL - 36) / 2;
}  // namespace

bool Pcm16Writer::Add(const float* samples, size_t count, float gain) {
    return AddSamples(samples, count, gain);
}

bool Pcm16Writer::Add(const qint16* samples, size_t count, float gain) {
    return AddSamples(samples, count, gain);
}

template <typename Sample>
bool Pcm16Writer::AddSamples(const Sample* samples, size_t count, float gain) {
    if (written_ + qint64(count) > kMaxSamples) {
        error_ = u"The converted file would be larger than a wave file can be (4 GB)."_s;
        return false;
    }
    pcm_.resize(count);
    dither_.ToPcm16(samples, pcm_.data(), count, gain);
    qToLittleEndian<qint16>(pcm_.data(), qsizetype(count), pcm_.data());
    if (!WriteAll(file_, QByteArrayView(reinterpret_cast<const char*>(pcm_.data()),
                                        qsizetype(count * sizeof(qint16))))) {
        error_ = file_.errorString();
        return false;
    }
    written_ += qint64(count);
    return true;
}
