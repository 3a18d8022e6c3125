#include "audio/TpdfDither.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

TpdfDither::TpdfDither(bool enabled)
    : state_{0x9E3779B9u, 0x7F4A7C15u, 0x85EBCA6Bu, 0xC2B2AE35u,
             0x27D4EB2Fu, 0x165667B1u, 0xD3A2646Cu, 0xFD7046C5u},
      noiseScale_(enabled ? 1.0F / 65536.0F : 0.0F) {}

// Written so that the compiler turns the inner loop into vector instructions: the generators'
// states in a local array, no branches, conversions from signed integers, and (with
// -fno-trapping-math for this file) selects for the clipping.
template <typename Sample>
void TpdfDither::Convert(const Sample* samples, qint16* pcm, size_t count, float scale) {
    std::array<quint32, kLanes> state = state_;
    const float noiseScale = noiseScale_;
    int clipped = 0;
    const auto lanes = [&state, &clipped, noiseScale, scale](const Sample* in, qint16* out) {
        std::array<int, kLanes> rounded{};
        for (size_t k = 0; k < kLanes; ++k) {
            quint32 x = state[k];
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            state[k] = x;
            const float noise = (float(int(x & 0xFFFFu)) - float(int(x >> 16))) * noiseScale;
            float v = float(in[k]) * scale + noise;
            const bool high = v >= 32767.5F;
            const bool low = v < -32768.5F;
            clipped += int(high) + int(low);
            v = high ? 32767.0F : v;
            v = low ? -32768.0F : v;
            v = v == v ? v : 0.0F;  // NaN
            // Rounds to nearest: truncating a positive number is its floor, and the cast is cheap.
            rounded[k] = static_cast<int>(v + 32768.5F) - 32768;
        }
        for (size_t k = 0; k < kLanes; ++k) {
            out[k] = static_cast<qint16>(rounded[k]);
        }
    };
    size_t done = 0;
    for (; done + kLanes <= count; done += kLanes) {
        lanes(samples + done, pcm + done);
    }
    if (done < count) {
        std::array<Sample, kLanes> rest{};
        std::array<qint16, kLanes> restPcm{};
        std::copy(samples + done, samples + count, rest.begin());
        lanes(rest.data(), restPcm.data());
        std::copy(restPcm.begin(), restPcm.begin() + qsizetype(count - done), pcm + done);
    }
    state_ = state;
    clipped_ += clipped;
}

void TpdfDither::ToPcm16(const float* samples, qint16* pcm, size_t count, float gain) {
    Convert(samples, pcm, count, gain * 32768.0F);
}

// 16-bit samples in fixed point, for speed: each sample times a 16-bit factor (the gain times
// 2^shift), plus the dither and half a step in the same units, shifted back and saturated. The
// factor keeps at least 15 significant bits, so the gain is off by less than 0.0003 dB. A gain too
// large for that (beyond 84 dB) takes the floating-point way.
void TpdfDither::ToPcm16(const qint16* samples, qint16* pcm, size_t count, float gain) {
    int shift = 15;
    while (shift > 1 && gain * float(1 << shift) >= 32767.5F) {
        --shift;
    }
    const float scaled = gain * float(1 << shift);
    if (!(scaled >= 0.0F && scaled < 32767.5F)) {
        Convert(samples, pcm, count, gain);
        return;
    }
    const auto factor = static_cast<qint16>(scaled + 0.5F);
    // The dither is in units of 2^-16 steps; the product in units of 2^-shift.
    const int noiseShift = 16 - shift;
    const quint32 noiseMask = noiseScale_ != 0.0F ? 0xFFFFFFFFu : 0u;
    const int bias = 1 << (shift - 1);
    std::array<quint32, kLanes> state = state_;
    int clipped = 0;
    size_t done = 0;
#if defined(__SSE2__)
    static_assert(kLanes == 8);
    __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.data()));
    __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.data() + 4));
    const __m128i factors = _mm_set1_epi16(factor);
    const __m128i halfMask = _mm_set1_epi32(0xFFFF);
    const __m128i noiseOn = _mm_set1_epi32(static_cast<int>(noiseMask));
    const __m128i biases = _mm_set1_epi32(bias);
    const __m128i shifts = _mm_cvtsi32_si128(shift);
    const __m128i noiseShifts = _mm_cvtsi32_si128(noiseShift);
    const __m128i top = _mm_set1_epi32(32767);
    const __m128i bottom = _mm_set1_epi32(-32768);
    __m128i clips = _mm_setzero_si128();
    const auto next = [](__m128i x) {
        x = _mm_xor_si128(x, _mm_slli_epi32(x, 13));
        x = _mm_xor_si128(x, _mm_srli_epi32(x, 17));
        return _mm_xor_si128(x, _mm_slli_epi32(x, 5));
    };
    const auto value = [&](__m128i product, __m128i x) {
        __m128i noise = _mm_sub_epi32(_mm_and_si128(x, halfMask), _mm_srli_epi32(x, 16));
        noise = _mm_and_si128(_mm_sra_epi32(noise, noiseShifts), noiseOn);
        const __m128i v =
            _mm_sra_epi32(_mm_add_epi32(_mm_add_epi32(product, noise), biases), shifts);
        clips =
            _mm_sub_epi32(clips, _mm_or_si128(_mm_cmpgt_epi32(v, top), _mm_cmplt_epi32(v, bottom)));
        return v;
    };
    for (; done + kLanes <= count; done += kLanes) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + done));
        const __m128i productLow = _mm_mullo_epi16(in, factors);
        const __m128i productHigh = _mm_mulhi_epi16(in, factors);
        low = next(low);
        high = next(high);
        const __m128i first = value(_mm_unpacklo_epi16(productLow, productHigh), low);
        const __m128i second = value(_mm_unpackhi_epi16(productLow, productHigh), high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + done), _mm_packs_epi32(first, second));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.data()), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.data() + 4), high);
    std::array<int, 4> clipCounts{};
    _mm_storeu_si128(reinterpret_cast<__m128i*>(clipCounts.data()), clips);
    clipped += clipCounts[0] + clipCounts[1] + clipCounts[2] + clipCounts[3];
#endif
    // The same, one sample at a time: without SSE2, and for the last samples.
    const auto lanes = [&](const qint16* in, qint16* out) {
        for (size_t k = 0; k < kLanes; ++k) {
            quint32 x = state[k];
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            state[k] = x;
            const int noise =
                ((int(x & 0xFFFFu) - int(x >> 16)) >> noiseShift) & static_cast<int>(noiseMask);
            const int v = (int(in[k]) * factor + noise + bias) >> shift;
            clipped += int(v > 32767) + int(v < -32768);
            out[k] = static_cast<qint16>(std::clamp(v, -32768, 32767));
        }
    };
    for (; done + kLanes <= count; done += kLanes) {
        lanes(samples + done, pcm + done);
    }
    if (done < count) {
        std::array<qint16, kLanes> rest{};
        std::array<qint16, kLanes> restPcm{};
        std::copy(samples + done, samples + count, rest.begin());
        lanes(rest.data(), restPcm.data());
        std::copy(restPcm.begin(), restPcm.begin() + qsizetype(count - done), pcm + done);
    }
    state_ = state;
    clipped_ += clipped;
}
