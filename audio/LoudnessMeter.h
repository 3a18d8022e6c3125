#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "audio/LoudnessMeasurement.h"

// Measures loudness with libebur128: integrated loudness, the highest momentary loudness and the
// true peak of one channel (LoudnessMeasurement). Samples are added in blocks of any size; the
// momentary loudness is read on the 100 ms grid from the start of the message, once the first
// 400 ms are in. The meter owns the library's state and releases it when it goes.
class LoudnessMeter {
public:
    // Called between blocks while a file is read; false stops the measurement.
    using KeepGoing = std::function<bool()>;

    explicit LoudnessMeter(int sampleRate = LoudnessMeasurement::kSampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // False when the library could not set up a state for this rate (Add and Result then do
    // nothing useful).
    bool IsValid() const { return state_ != nullptr; }

    // Samples where full scale is 1.0, or 16-bit samples.
    void Add(const float* samples, qint64 count);
    void Add(const qint16* samples, qint64 count);

    // What the samples added so far measure.
    LoudnessMeasurement Result() const;

    // Measures a sound file the decoder reads (AudioDecoder), its channels mixed down to one as a
    // converted copy would have them. Nothing, with the reason in *error, when the file cannot be
    // decoded or keepGoing said stop ("cancelled").
    static std::optional<LoudnessMeasurement> MeasureFile(const QString& path, QString* error,
                                                          const KeepGoing& keepGoing = {});

private:
    template <typename Sample>
    void AddBlocks(const Sample* samples, qint64 count);
    void ReadMomentary();

    // The library's state (its type is an unnamed struct, so it cannot be declared here).
    struct State;
    struct StateDeleter {
        void operator()(State* state) const;
    };
    std::unique_ptr<State, StateDeleter> state_;
    int sampleRate_;
    qint64 frames_ = 0;
    qint64 untilMomentary_;
    std::optional<double> maxMomentary_;
};
