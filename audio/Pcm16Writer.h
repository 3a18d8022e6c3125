#pragma once

#include <QString>
#include <vector>

#include "audio/TpdfDither.h"

class QIODevice;

// Turns blocks of samples where full scale is 1.0 into 16-bit little-endian samples (TpdfDither,
// with or without dither) and appends them to a device; counts what it wrote and what it clipped.
// Stops at the most samples the 32-bit size fields of a wave file can count.
class Pcm16Writer {
public:
    Pcm16Writer(QIODevice& file, bool dither) : file_(file), dither_(dither) {}

    // Each sample is multiplied by gain before it is rounded. False, with the reason in
    // ErrorText(), when the file would grow too large or the write fails.
    [[nodiscard]] bool Add(const float* samples, size_t count, float gain = 1.0F);
    // The same for 16-bit samples.
    [[nodiscard]] bool Add(const qint16* samples, size_t count, float gain);

    qint64 Written() const { return written_; }
    qint64 Clipped() const { return dither_.Clipped(); }
    const QString& ErrorText() const { return error_; }

private:
    template <typename Sample>
    bool AddSamples(const Sample* samples, size_t count, float gain);

    QIODevice& file_;
    TpdfDither dither_;
    std::vector<qint16> pcm_;
    qint64 written_ = 0;
    QString error_;
};
