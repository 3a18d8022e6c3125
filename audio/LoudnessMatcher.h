#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "audio/LoudnessGain.h"
#include "audio/LoudnessMeasurement.h"

// Brings a message wave to a target loudness by one linear gain (LoudnessGain: the true peak stays
// at or below -1 dBTP; no compression, no limiting, no resampling) and writes the result as a new
// wave file in the message format: mono, 16 bits, 44100 samples per second, the standard 44-byte
// header. The samples are multiplied by the gain and rounded to 16 bits with TPDF dither (a fixed
// seed: the same bytes on every run); a gain of exactly 0 dB copies them as they are. The ceiling
// leaves room for the dither, so no sample is ever clipped.
//
// The result goes into the subfolder "matched" beside the original (TargetFor). It is never written
// over the original, and over another existing file only when the caller allows it; otherwise the
// outcome says so and nothing is written. A failed or cancelled match leaves no partial file: a
// new file is written with a header of zeros that gets its real header last (until then the format
// check refuses it) and is removed on failure; a file that replaces another is written unnamed
// beside it and takes its name only when complete. Nothing is synced to the disk, as a plain copy
// is not: a set of a thousand messages is matched in about the time of copying it.
//
// A message wave in the format is read straight from its data chunk and computed in fixed point
// (TpdfDither); any other sound file the decoder reads at 44100 samples per second goes through
// the decoder.
class LoudnessMatcher {
public:
    enum class Outcome {
        Matched,
        NotMeasurable,     // the measurement has no integrated loudness (too short or silent)
        NotDecodable,      // reason: the decoder's text
        WrongRate,         // the source is not at 44100 samples per second
        SameAsSource,      // the target is the original itself
        TargetExists,      // the target exists and may not be replaced
        FolderNotCreated,  // the target's folder cannot be made
        WriteFailed,       // reason: the system's text
        Cancelled,
    };

    struct Result {
        Outcome outcome = Outcome::Matched;
        QString source;
        QString target;
        QString reason;
        std::optional<LoudnessGain> gain;  // the gain for the measurement, whenever there is one
        qint64 frames = 0;                 // Matched: the samples written

        bool Ok() const { return outcome == Outcome::Matched; }
    };

    // The subfolder beside the originals that matched copies go into.
    static constexpr auto kSubfolder = u"matched";

    // Where the matched copy of source goes: the subfolder kSubfolder of its folder, with its
    // file name.
    static QString TargetFor(const QString& source);

    // The message for a result that is not Matched.
    static QString FailureText(const Result& result);

    // Called between blocks, on the thread that matches; false cancels.
    using KeepGoing = std::function<bool()>;

    // Writes source, whose loudness is measured, brought to targetLufs, into target.
    static Result Match(const QString& source, const QString& target,
                        const LoudnessMeasurement& measured, double targetLufs,
                        bool replaceExisting = false, const KeepGoing& keepGoing = {});

    struct Job {
        QString source;
        QString target;
        LoudnessMeasurement measured;
    };
    // Called on the calling thread while the jobs run (every 50 ms and when they have ended) with
    // how many have ended; false cancels the rest.
    using WhileWaiting = std::function<bool(int ended)>;

    // Matches the jobs on a pool of threads, as many at once as the machine has processors, each
    // as Match does; the results in the order of the jobs. A job cancelled before it started is
    // Cancelled too.
    static QList<Result> MatchAll(const QList<Job>& jobs, double targetLufs, bool replaceExisting,
                                  const WhileWaiting& whileWaiting = {});
};
