#include "audio/AudioConverter.h"

#include <soxr.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "audio/AudioDecoder.h"
#include "audio/LoudnessMeter.h"
#include "audio/Pcm16Writer.h"
#include "audio/WaveHeader.h"
#include "base/WriteAll.h"
#include "base/ProgressSink.h"

using namespace Qt::StringLiterals;
using Outcome = AudioConverter::Outcome;
using Result = AudioConverter::Result;

namespace {

constexpr qint64 kBlockFrames = 32768;

struct ResamplerDeleter {
    void operator()(soxr_t resampler) const { soxr_delete(resampler); }
};
using Resampler = std::unique_ptr<std::remove_pointer_t<soxr_t>, ResamplerDeleter>;

// The sound of a source as a message has it, block by block: mixed down to mono, resampled to
// 44100 samples per second, as floats. Read once per pass: a conversion that matches loudness
// reads its source twice, to measure and to write.
class ConvertedStream {
public:
    enum class Stop { Ended, NotDecodable, SinkFailed, Cancelled };
    // Takes each block; false stops the stream.
    using Sink = std::function<bool(const float*, size_t)>;

    // False with the reason in *reason when the source cannot be decoded or resampled.
    bool Open(const QString& source, QString* reason) {
        if (!decoder_.Open(source)) {
            *reason = decoder_.ErrorText();
            return false;
        }
        resampler_.reset();
        if (decoder_.SampleRate() != wave_header::kSampleRate) {
            const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
            soxr_error_t error = nullptr;
            resampler_.reset(soxr_create(decoder_.SampleRate(), wave_header::kSampleRate, 1, &error,
                                         nullptr, &quality, nullptr));
            if (error != nullptr) {
                *reason = QString::fromUtf8(error);
                return false;
            }
        }
        input_.resize(kBlockFrames);
        output_.resize(
            size_t(kBlockFrames * wave_header::kSampleRate / decoder_.SampleRate() + 1024));
        return true;
    }

    // One progress step per block read.
    qint64 Blocks() const { return decoder_.Frames() / kBlockFrames + 1; }
    // Nothing between a 16-bit mono source at the right rate and its copy needs dither.
    bool Exact() const {
        return !resampler_ && decoder_.Channels() == 1 && decoder_.HoldsAtMost16Bits();
    }

    // Gives every block to sink; progress (may be null) advances and pumps after each block read.
    Stop Run(const Sink& sink, ProgressSink* progress, QString* reason) {
        for (;;) {
            const qint64 read = decoder_.ReadMono(input_.data(), kBlockFrames);
            if (read < 0) {
                *reason = decoder_.ErrorText();
                return Stop::NotDecodable;
            }
            if (read == 0) {
                break;
            }
            if (!resampler_ && !sink(input_.data(), size_t(read))) {
                return Stop::SinkFailed;
            }
            for (size_t used = 0; resampler_ && used < size_t(read);) {
                size_t consumed = 0;
                size_t produced = 0;
                const soxr_error_t error =
                    soxr_process(resampler_.get(), input_.data() + used, size_t(read) - used,
                                 &consumed, output_.data(), output_.size(), &produced);
                if (error != nullptr || (consumed == 0 && produced == 0)) {
                    *reason = error != nullptr ? QString::fromUtf8(error)
                                               : u"The resampler stopped taking samples."_s;
                    return Stop::NotDecodable;
                }
                if (!sink(output_.data(), produced)) {
                    return Stop::SinkFailed;
                }
                used += consumed;
            }
            if (progress != nullptr) {
                progress->Advance();
                progress->PumpMessages();
                if (progress->IsCancelled()) {
                    return Stop::Cancelled;
                }
            }
        }
        // The resampler holds back the last samples until it is told the input has ended.
        for (size_t produced = 1; resampler_ && produced > 0;) {
            const soxr_error_t error = soxr_process(resampler_.get(), nullptr, 0, nullptr,
                                                    output_.data(), output_.size(), &produced);
            if (error != nullptr) {
                *reason = QString::fromUtf8(error);
                return Stop::NotDecodable;
            }
            if (!sink(output_.data(), produced)) {
                return Stop::SinkFailed;
            }
        }
        return Stop::Ended;
    }

private:
    AudioDecoder decoder_;
    Resampler resampler_;
    std::vector<float> input_;
    std::vector<float> output_;
};

}  // namespace

QString AudioConverter::TargetFor(const QString& source, const QString& outputFolder) {
    const QFileInfo info(source);
    const QDir folder = outputFolder.isEmpty()
                            ? QDir(info.absoluteDir().filePath(QString::fromUtf16(kSubfolder)))
                            : QDir(outputFolder);
    return QDir::cleanPath(folder.absoluteFilePath(info.completeBaseName() + u".wav"_s));
}

QString AudioConverter::FailureText(const Result& result) {
    switch (result.outcome) {
        case Outcome::Converted:
            return {};
        case Outcome::NotDecodable:
            return u"Could not decode %1 as sound: %2"_s.arg(result.source, result.reason);
        case Outcome::SameAsSource:
            return u"The converted copy of %1 would replace the original; choose another "
                   "folder."_s.arg(result.source);
        case Outcome::TargetExists:
            return u"The file %1 exists already."_s.arg(result.target);
        case Outcome::FolderNotCreated:
            return u"Could not create the folder %1"_s.arg(QFileInfo(result.target).path());
        case Outcome::WriteFailed:
            return u"Could not write file: %1\n%2"_s.arg(result.target, result.reason);
        case Outcome::Cancelled:
            return u"The conversion of %1 was cancelled."_s.arg(result.source);
    }
    return {};
}

Result AudioConverter::Convert(const QString& source, const QString& target, bool replaceExisting,
                               std::optional<double> loudnessTarget) const {
    Result result;
    result.source = source;
    result.target = target;
    auto fail = [&result](Outcome outcome, const QString& reason = QString()) {
        result.outcome = outcome;
        result.reason = reason;
        return result;
    };
    const QFileInfo targetInfo(target);
    if (targetInfo.exists()) {
        if (targetInfo.canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
            return fail(Outcome::SameAsSource);
        }
        if (!replaceExisting) {
            return fail(Outcome::TargetExists);
        }
    }
    ConvertedStream stream;
    QString reason;
    if (!stream.Open(source, &reason)) {
        return fail(Outcome::NotDecodable, reason);
    }
    const int passes = loudnessTarget ? 2 : 1;
    if (progress_ != nullptr) {
        progress_->SetBarRange(0, static_cast<int>(qMin<qint64>(passes * stream.Blocks(), 1 << 30)),
                               1);
    }
    if (loudnessTarget) {
        // First pass: the loudness of the converted sound, for the gain.
        LoudnessMeter meter;
        const auto stop = stream.Run(
            [&meter](const float* samples, size_t count) {
                meter.Add(samples, qint64(count));
                return true;
            },
            progress_, &reason);
        if (stop != ConvertedStream::Stop::Ended) {
            return fail(stop == ConvertedStream::Stop::Cancelled ? Outcome::Cancelled
                                                                 : Outcome::NotDecodable,
                        reason);
        }
        result.measured = meter.Result();
        result.gain = LoudnessGain::For(*result.measured, *loudnessTarget);
        if (!stream.Open(source, &reason)) {
            return fail(Outcome::NotDecodable, reason);
        }
    }
    if (!QDir().mkpath(targetInfo.absolutePath())) {
        return fail(Outcome::FolderNotCreated);
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !WriteAll(file, QByteArray(wave_header::kSize, '\0'))) {
        return fail(Outcome::WriteFailed, file.errorString());
    }
    auto abandon = [&file, &fail](Outcome outcome, const QString& reason) {
        file.cancelWriting();
        return fail(outcome, reason);
    };
    const auto gain = static_cast<float>(result.gain ? result.gain->Linear() : 1.0);
    Pcm16Writer writer(file, !stream.Exact() || gain != 1.0F);
    switch (stream.Run([&writer, gain](const float* samples,
                                       size_t count) { return writer.Add(samples, count, gain); },
                       progress_, &reason)) {
        case ConvertedStream::Stop::Ended:
            break;
        case ConvertedStream::Stop::NotDecodable:
            return abandon(Outcome::NotDecodable, reason);
        case ConvertedStream::Stop::SinkFailed:
            return abandon(Outcome::WriteFailed, writer.ErrorText());
        case ConvertedStream::Stop::Cancelled:
            return abandon(Outcome::Cancelled, QString());
    }
    if (!file.seek(0) || !WriteAll(file, wave_header::MonoPcm16(writer.Written() * 2))) {
        return abandon(Outcome::WriteFailed, file.errorString());
    }
    if (!file.commit()) {
        return fail(Outcome::WriteFailed, file.errorString());
    }
    result.frames = writer.Written();
    result.clippedSamples = writer.Clipped();
    return result;
}
