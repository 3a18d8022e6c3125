#include "audio/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <memory>

#include "audio/AudioDecoder.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kReadFrames = 65536;

int Add(ebur128_state* state, const float* samples, size_t count) {
    return ebur128_add_frames_float(state, samples, count);
}
int Add(ebur128_state* state, const qint16* samples, size_t count) {
    return ebur128_add_frames_short(state, samples, count);
}

// The frames of 100 ms, as the library counts them.
qint64 StepFrames(int sampleRate) {
    return (qint64(sampleRate) + 5) / 10;
}

}  // namespace

struct LoudnessMeter::State {
    ebur128_state* library = nullptr;
};

void LoudnessMeter::StateDeleter::operator()(State* state) const {
    ebur128_destroy(&state->library);
    delete state;
}

LoudnessMeter::LoudnessMeter(int sampleRate)
    : sampleRate_(sampleRate), untilMomentary_(StepFrames(sampleRate)) {
    if (sampleRate <= 0) {
        return;
    }
    // Integrated and momentary loudness and true peak; no short-term or range, which cost time.
    if (ebur128_state* library = ebur128_init(1, static_cast<unsigned long>(sampleRate),
                                              EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK)) {
        state_.reset(new State{library});
    }
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::Add(const float* samples, qint64 count) {
    AddBlocks(samples, count);
}

void LoudnessMeter::Add(const qint16* samples, qint64 count) {
    AddBlocks(samples, count);
}

template <typename Sample>
void LoudnessMeter::AddBlocks(const Sample* samples, qint64 count) {
    if (!state_) {
        return;
    }
    // Up to each 100 ms boundary at a time, so that the momentary value is read on the grid.
    while (count > 0) {
        const qint64 part = std::min(count, untilMomentary_);
        ::Add(state_->library, samples, size_t(part));
        samples += part;
        count -= part;
        frames_ += part;
        untilMomentary_ -= part;
        if (untilMomentary_ == 0) {
            untilMomentary_ = StepFrames(sampleRate_);
            ReadMomentary();
        }
    }
}

void LoudnessMeter::ReadMomentary() {
    // The window holds 400 ms only from the fourth step on; before, it would count silence in.
    double momentary = 0;
    if (frames_ < 4 * StepFrames(sampleRate_) ||
        ebur128_loudness_momentary(state_->library, &momentary) != EBUR128_SUCCESS ||
        !std::isfinite(momentary)) {
        return;
    }
    if (!maxMomentary_ || momentary > *maxMomentary_) {
        maxMomentary_ = momentary;
    }
}

LoudnessMeasurement LoudnessMeter::Result() const {
    LoudnessMeasurement result;
    result.frames = frames_;
    result.sampleRate = sampleRate_;
    if (!state_) {
        return result;
    }
    double peak = 0;
    if (ebur128_true_peak(state_->library, 0, &peak) == EBUR128_SUCCESS && peak > 0) {
        result.truePeak = 20 * std::log10(peak);
    }
    if (result.TooShort()) {
        return result;
    }
    double integrated = 0;
    if (ebur128_loudness_global(state_->library, &integrated) == EBUR128_SUCCESS &&
        std::isfinite(integrated)) {
        result.integrated = integrated;
        result.maxMomentary = maxMomentary_;
    }
    return result;
}

std::optional<LoudnessMeasurement> LoudnessMeter::MeasureFile(const QString& path, QString* error,
                                                              const KeepGoing& keepGoing) {
    auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    AudioDecoder decoder;
    if (!decoder.Open(path)) {
        return fail(decoder.ErrorText());
    }
    LoudnessMeter meter(decoder.SampleRate());
    if (!meter.IsValid()) {
        return fail(
            u"The loudness meter does not take %1 samples per second."_s.arg(decoder.SampleRate()));
    }
    const auto block = std::make_unique_for_overwrite<float[]>(kReadFrames);
    for (;;) {
        const qint64 read = decoder.ReadMono(block.get(), kReadFrames);
        if (read < 0) {
            return fail(decoder.ErrorText());
        }
        if (read == 0) {
            break;
        }
        meter.Add(block.get(), read);
        if (keepGoing && !keepGoing()) {
            return fail(u"cancelled"_s);
        }
    }
    return meter.Result();
}
