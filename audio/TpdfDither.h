#pragma once

#include <QtGlobal>
#include <array>
#include <cstddef>

// Turns samples where full scale is 1.0 into 16-bit values with TPDF dither: before rounding, each
// sample gets the difference of two independent uniform random values of one step each (a
// triangular distribution over +-1 step), which turns the rounding error into plain noise
// unrelated to the signal. Values beyond full scale are clipped and counted. The random sequence
// is the same on every run (fixed seeds), so a conversion gives the same bytes each time.
//
// The random values come from eight xorshift generators side by side, one for each of eight
// neighbouring samples, so that a block is dithered without one long chain of dependent steps;
// each 32-bit value gives the two 16-bit uniform values of one sample.
//
// Samples that are whole 16-bit steps already (a 16-bit source neither mixed nor resampled) need
// no dither: constructed with enabled false, it only rounds and clips.
class TpdfDither {
public:
    explicit TpdfDither(bool enabled = true);

    // Converts count samples, each multiplied by gain first, into pcm. A NaN becomes 0.
    void ToPcm16(const float* samples, qint16* pcm, size_t count, float gain = 1.0F);
    // The same for 16-bit samples, in fixed point (SSE2 where the compiler has it): the gain as a
    // factor of at least 15 significant bits, so off by less than 0.0003 dB.
    void ToPcm16(const qint16* samples, qint16* pcm, size_t count, float gain);

    // The samples clipped so far.
    qint64 Clipped() const { return clipped_; }

private:
    static constexpr size_t kLanes = 8;

    // Each sample times scale gives 16-bit steps.
    template <typename Sample>
    void Convert(const Sample* samples, qint16* pcm, size_t count, float scale);

    std::array<quint32, kLanes> state_;
    float noiseScale_;
    qint64 clipped_ = 0;
};
