#include "audio/LoudnessGain.h"

#include <algorithm>
#include <cmath>

#include "audio/LoudnessMeasurement.h"

namespace {

constexpr double kStep = 1.0 / 32768.0;

double ToLinear(double db) {
    return std::pow(10.0, db / 20.0);
}

}  // namespace

double LoudnessGain::Linear() const {
    return ToLinear(gainDb);
}

std::optional<LoudnessGain> LoudnessGain::For(const LoudnessMeasurement& measured,
                                              double targetLufs) {
    if (!measured.integrated) {
        return std::nullopt;
    }
    LoudnessGain gain;
    const double wanted = targetLufs - *measured.integrated;
    gain.gainDb = wanted;
    if (std::isfinite(measured.truePeak)) {
        const double ceiling = ToLinear(kPeakCeilingDbtp) - 2 * kStep;
        const double allowed = 20 * std::log10(ceiling / ToLinear(measured.truePeak));
        gain.gainDb = std::min(wanted, allowed);
    }
    gain.shortfallDb = std::max(0.0, wanted - gain.gainDb);
    gain.resultLufs = *measured.integrated + gain.gainDb;
    return gain;
}
