#pragma once

#include <optional>

struct LoudnessMeasurement;

// The one linear gain that brings a message to a target loudness, limited so that its true peak
// stays at or below the ceiling of -1 dBTP: never compression, never a limiter. Where the ceiling
// stops the gain short of the target, the shortfall says by how much.
//
// The ceiling keeps back two 16-bit steps besides: a matched file is written with TPDF dither,
// which moves a sample by at most one step, so the written file measures at or below -1 dBTP too
// and no sample can reach full scale.
struct LoudnessGain {
    static constexpr double kPeakCeilingDbtp = -1.0;
    // A shortfall below this is rounding, not worth a word (it shows as 0.0 dB).
    static constexpr double kNotableShortfallDb = 0.05;

    double gainDb = 0;       // applied to every sample
    double shortfallDb = 0;  // how far the result stays below the target; 0 when it meets it
    double resultLufs = 0;   // the integrated loudness the message has after the gain

    double Linear() const;
    bool PeakLimited() const { return shortfallDb >= kNotableShortfallDb; }

    // The gain for a message as measured; nothing when it has no integrated loudness (too short
    // or silent).
    static std::optional<LoudnessGain> For(const LoudnessMeasurement& measured, double targetLufs);
};
