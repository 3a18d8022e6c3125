#pragma once

#include <QtGlobal>
#include <cmath>

// Turns samples where full scale is 1.0 into 16-bit values with TPDF dither: before rounding, each
// sample gets the sum of two independent uniform random values of one step each (a triangular
// distribution over +-1 step), which turns the rounding error into plain noise unrelated to the
// signal. Values beyond full scale are clipped and counted. The random sequence is the same on
// every run (a fixed seed), so a conversion gives the same bytes each time.
//
// Samples that are whole 16-bit steps already (a 16-bit source neither mixed nor resampled) need
// no dither: constructed with enabled false, it only rounds and clips.
class TpdfDither {
public:
    explicit TpdfDither(bool enabled = true) : enabled_(enabled) {}

    qint16 ToPcm16(float sample) {
        const float value = sample * 32768.0F + (enabled_ ? Uniform() - Uniform() : 0.0F);
        if (std::isnan(value)) {
            return 0;
        }
        if (value >= 32767.5F) {
            ++clipped_;
            return 32767;
        }
        if (value < -32768.5F) {
            ++clipped_;
            return -32768;
        }
        // Rounds to nearest: truncating a positive number is its floor, and the cast is cheap.
        return static_cast<qint16>(static_cast<int>(value + 32768.5F) - 32768);
    }

    // The samples clipped so far.
    qint64 Clipped() const { return clipped_; }

private:
    // Uniform in [0, 1), from a xorshift64* generator: fast, and more than random enough here.
    float Uniform() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<float>((state_ * 0x2545F4914F6CDD1DULL) >> 40) * (1.0F / 16777216.0F);
    }

    bool enabled_;
    quint64 state_ = 0x9E3779B97F4A7C15ULL;
    qint64 clipped_ = 0;
};
