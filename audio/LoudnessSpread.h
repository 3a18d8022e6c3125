#pragma once

#include <QString>
#include <vector>

// The spread of a set's loudness: its quietest and loudest integrated values and their median (of
// an even count, the mean of the two middle values). A message more than kMarkLu from the median
// stands out and is marked.
struct LoudnessSpread {
    static constexpr double kMarkLu = 3.0;

    int measured = 0;  // the values the spread is made of
    double lowest = 0;
    double highest = 0;
    double median = 0;

    static LoudnessSpread Of(std::vector<double> integrated);

    bool IsEmpty() const { return measured == 0; }
    bool StandsOut(double integrated) const;
    // "Loudness -26.0 to -19.5 LUFS, median -23.1"; empty when nothing was measured.
    QString Text() const;
};
