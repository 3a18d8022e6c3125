#include "audio/AudioConverter.h"

#include <soxr.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <memory>
#include <type_traits>
#include <vector>

#include "audio/AudioDecoder.h"
#include "audio/TpdfDither.h"
#include "audio/WaveHeader.h"
#include "base/WriteAll.h"
#include "progress/ProgressSink.h"

using namespace Qt::StringLiterals;
using Outcome = AudioConverter::Outcome;
using Result = AudioConverter::Result;

namespace {

constexpr qint64 kBlockFrames = 32768;
// The most samples the 32-bit size fields of a wave file can count.
constexpr qint64 kMaxSamples = (0xFFFFFFFFLL - 36) / 2;

struct ResamplerDeleter {
    void operator()(soxr_t resampler) const { soxr_delete(resampler); }
};
using Resampler = std::unique_ptr<std::remove_pointer_t<soxr_t>, ResamplerDeleter>;

// Dithers samples to 16 bits and appends them to the file.
class Pcm16Writer {
public:
    Pcm16Writer(QIODevice& file, bool dither) : file_(file), dither_(dither) {}

    [[nodiscard]] bool Add(const float* samples, size_t count) {
        if (written_ + qint64(count) > kMaxSamples) {
            error_ = u"The converted file would be larger than a wave file can be (4 GB)."_s;
            return false;
        }
        pcm_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            pcm_[i] = dither_.ToPcm16(samples[i]);
        }
        qToLittleEndian<qint16>(pcm_.data(), qsizetype(count), pcm_.data());
        if (!WriteAll(file_, QByteArrayView(reinterpret_cast<const char*>(pcm_.data()),
                                            qsizetype(count * sizeof(qint16))))) {
            error_ = file_.errorString();
            return false;
        }
        written_ += qint64(count);
        return true;
    }

    qint64 Written() const { return written_; }
    qint64 Clipped() const { return dither_.Clipped(); }
    const QString& ErrorText() const { return error_; }

private:
    QIODevice& file_;
    TpdfDither dither_;
    std::vector<qint16> pcm_;
    qint64 written_ = 0;
    QString error_;
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

Result AudioConverter::Convert(const QString& source, const QString& target,
                               bool replaceExisting) const {
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
    AudioDecoder decoder;
    if (!decoder.Open(source)) {
        return fail(Outcome::NotDecodable, decoder.ErrorText());
    }
    Resampler resampler;
    if (decoder.SampleRate() != wave_header::kSampleRate) {
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        soxr_error_t error = nullptr;
        resampler.reset(soxr_create(decoder.SampleRate(), wave_header::kSampleRate, 1, &error,
                                    nullptr, &quality, nullptr));
        if (error != nullptr) {
            return fail(Outcome::NotDecodable, QString::fromUtf8(error));
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

    const qint64 blocks = decoder.Frames() / kBlockFrames + 1;
    if (progress_ != nullptr) {
        progress_->SetBarRange(0, static_cast<int>(qMin<qint64>(blocks, 1 << 30)), 1);
    }
    std::vector<float> input(kBlockFrames);
    std::vector<float> output(
        size_t(kBlockFrames * wave_header::kSampleRate / decoder.SampleRate() + 1024));
    // Nothing between a 16-bit mono source at the right rate and its copy needs dither.
    const bool exact = !resampler && decoder.Channels() == 1 && decoder.HoldsAtMost16Bits();
    Pcm16Writer writer(file, !exact);
    for (;;) {
        const qint64 read = decoder.ReadMono(input.data(), kBlockFrames);
        if (read < 0) {
            return abandon(Outcome::NotDecodable, decoder.ErrorText());
        }
        if (read == 0) {
            break;
        }
        if (!resampler) {
            if (!writer.Add(input.data(), size_t(read))) {
                return abandon(Outcome::WriteFailed, writer.ErrorText());
            }
        }
        for (size_t used = 0; resampler && used < size_t(read);) {
            size_t consumed = 0;
            size_t produced = 0;
            const soxr_error_t error =
                soxr_process(resampler.get(), input.data() + used, size_t(read) - used, &consumed,
                             output.data(), output.size(), &produced);
            if (error != nullptr || (consumed == 0 && produced == 0)) {
                return abandon(Outcome::NotDecodable,
                               error != nullptr ? QString::fromUtf8(error)
                                                : u"The resampler stopped taking samples."_s);
            }
            if (!writer.Add(output.data(), produced)) {
                return abandon(Outcome::WriteFailed, writer.ErrorText());
            }
            used += consumed;
        }
        if (progress_ != nullptr) {
            progress_->Advance();
            progress_->PumpMessages();
            if (progress_->IsCancelled()) {
                return abandon(Outcome::Cancelled, QString());
            }
        }
    }
    // The resampler holds back the last samples until it is told the input has ended.
    for (size_t produced = 1; resampler && produced > 0;) {
        const soxr_error_t error = soxr_process(resampler.get(), nullptr, 0, nullptr, output.data(),
                                                output.size(), &produced);
        if (error != nullptr) {
            return abandon(Outcome::NotDecodable, QString::fromUtf8(error));
        }
        if (!writer.Add(output.data(), produced)) {
            return abandon(Outcome::WriteFailed, writer.ErrorText());
        }
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
