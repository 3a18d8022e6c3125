#pragma once

#include <QHashFunctions>
#include <QString>
#include <optional>

#include "audio/LoudnessMeasurement.h"

// Which message a loudness belongs to: a wave file (index -1), or the message index of a set file
// shown from its set file alone.
struct LoudnessKey {
    QString path;
    int index = -1;

    friend bool operator==(const LoudnessKey&, const LoudnessKey&) = default;
};

inline size_t qHash(const LoudnessKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.path, key.index);
}

// A message's loudness as measured, or why it could not be measured.
struct LoudnessResult {
    std::optional<LoudnessMeasurement> measured;
    QString error;  // the reason, when there is no measurement
};
