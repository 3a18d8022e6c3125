#pragma once

#include <QString>
#include <optional>

#include "audio/LoudnessGain.h"
#include "audio/LoudnessMeasurement.h"

class ProgressSink;

// Converts a sound file of any format the decoder reads (AudioDecoder) into the one wave format a
// message can have: mixed down to mono (the mean of the channels), resampled to 44100 samples per
// second (libsoxr, very high quality, linear phase), TPDF-dithered to 16 bits, written with the
// standard 44-byte header. The result is a supported WaveFormat. A source of at most 16 bits that
// is mono at the right rate already (say, a wave file with another header) is copied sample for
// sample, without dither.
//
// The copy goes beside the original, into a subfolder of its folder (TargetFor). It is never
// written over the original, and over another existing file only when the caller allows it;
// otherwise the outcome says so and nothing is written, so that the caller can ask. The copy is
// written to a temporary file that replaces the target only when complete: a failed or cancelled
// conversion leaves no partial file behind.
//
// With a loudness target the conversion also matches loudness: it reads the source twice, first to
// measure the converted sound (LoudnessMeter), then to write it with the one gain that brings it to
// the target (LoudnessGain: the true peak stays at or below -1 dBTP). Nothing else changes: a
// message too short or silent to have a loudness is converted without a gain.
class AudioConverter {
public:
    enum class Outcome {
        Converted,
        NotDecodable,      // reason: the decoder's text
        SameAsSource,      // the target is the original itself
        TargetExists,      // the target exists and may not be replaced
        FolderNotCreated,  // the target's folder cannot be made
        WriteFailed,       // reason: the system's text
        Cancelled,
    };

    struct Result {
        Outcome outcome = Outcome::Converted;
        QString source;
        QString target;
        QString reason;
        qint64 clippedSamples = 0;  // Converted: samples beyond full scale, clipped
        qint64 frames = 0;          // Converted: the samples written
        // With a loudness target: the converted sound as measured, and the gain it was given
        // (none when the measurement has no integrated loudness).
        std::optional<LoudnessMeasurement> measured;
        std::optional<LoudnessGain> gain;

        bool Ok() const { return outcome == Outcome::Converted; }
    };

    // The subfolder beside the originals that converted copies go into.
    static constexpr auto kSubfolder = u"converted";

    // Where the copy of source goes: outputFolder (when given) or the subfolder kSubfolder of
    // source's folder, with source's base name and ".wav".
    static QString TargetFor(const QString& source, const QString& outputFolder = QString());

    // The message for a result that is not Converted.
    static QString FailureText(const Result& result);

    // progress may be null. With it, the conversion sets a range, advances as it reads (on each
    // pass), pumps and stops when cancelled.
    explicit AudioConverter(ProgressSink* progress = nullptr) : progress_(progress) {}

    Result Convert(const QString& source, const QString& target, bool replaceExisting = false,
                   std::optional<double> loudnessTarget = std::nullopt) const;

private:
    ProgressSink* progress_;
};
