#pragma once

#include <QtGlobal>
#include <cmath>
#include <limits>
#include <optional>

// What LoudnessMeter found in one message (ITU-R BS.1770 / EBU R 128, the channel counted once):
// its length, its integrated loudness, the highest momentary loudness (400 ms windows, every
// 100 ms) and its true peak.
//
// A message shorter than one gating block (0.4 s) has no integrated or momentary value: it is
// "too short", never a number made from the floor. A message whose every block lies below the
// absolute gate (-70 LUFS), digital silence for one, has none either: it is "silent".
struct LoudnessMeasurement {
    // The frames of one gating block at the message rate: the shortest message with a value.
    static constexpr qint64 kMinFrames = 17640;
    static constexpr int kSampleRate = 44100;

    qint64 frames = 0;
    int sampleRate = kSampleRate;
    std::optional<double> integrated;    // LUFS
    std::optional<double> maxMomentary;  // LUFS
    // dBTP: the peak of the signal oversampled four times, never below the sample peak; minus
    // infinity for digital silence.
    double truePeak = -std::numeric_limits<double>::infinity();

    double Seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
    bool TooShort() const { return frames * kSampleRate < kMinFrames * qint64(sampleRate); }
    bool Silent() const { return !TooShort() && !integrated.has_value(); }
};
