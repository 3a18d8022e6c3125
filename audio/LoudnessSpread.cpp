#include "audio/LoudnessSpread.h"

#include <algorithm>
#include <cmath>

#include "audio/LoudnessTexts.h"

using namespace Qt::StringLiterals;

LoudnessSpread LoudnessSpread::Of(std::vector<double> integrated) {
    LoudnessSpread spread;
    if (integrated.empty()) {
        return spread;
    }
    std::sort(integrated.begin(), integrated.end());
    const size_t n = integrated.size();
    spread.measured = static_cast<int>(n);
    spread.lowest = integrated.front();
    spread.highest = integrated.back();
    spread.median =
        n % 2 == 1 ? integrated[n / 2] : (integrated[n / 2 - 1] + integrated[n / 2]) / 2;
    return spread;
}

bool LoudnessSpread::StandsOut(double integrated) const {
    return !IsEmpty() && std::abs(integrated - median) > kMarkLu;
}

QString LoudnessSpread::Text() const {
    if (IsEmpty()) {
        return {};
    }
    return u"Loudness %1 to %2 LUFS, median %3"_s.arg(loudness_texts::Number(lowest),
                                                      loudness_texts::Number(highest),
                                                      loudness_texts::Number(median));
}
