#include "audio/LoudnessMatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThreadPool>
#include <QtEndian>
#include <atomic>
#include <cstring>
#include <memory>

#include "audio/AudioDecoder.h"
#include "audio/LoudnessMeasurement.h"
#include "audio/Pcm16Writer.h"
#include "audio/WaveFormat.h"
#include "audio/WaveHeader.h"
#include "base/WriteAll.h"

using namespace Qt::StringLiterals;
using Outcome = LoudnessMatcher::Outcome;
using Result = LoudnessMatcher::Result;

namespace {

constexpr qint64 kBlockFrames = 65536;
// Where a message wave's header is looked for: its data chunk starts within this many bytes.
constexpr qint64 kHeadBytes = 4096;

// The 16-bit samples of a wave file in the message format, read as they are from its data chunk:
// no decoder, no conversion to floats, few system calls (the head of the file is read once, and
// the samples in it are the first given).
class MessageWaveReader {
public:
    // False when path is not in the message format or its data chunk does not start within the
    // head; the caller then reads it through the decoder.
    bool Open(const QString& path) {
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            return false;
        }
        head_.resize(kHeadBytes);
        const qint64 read = file_.read(head_.data(), kHeadBytes);
        if (read < 0 || WaveFormat::ExamineHeader(QByteArrayView(head_.data(), read)) !=
                            WaveFormat::Verdict::Supported) {
            return false;
        }
        head_.resize(read);
        for (qint64 chunk = 12; chunk + 8 <= read;) {
            const qint64 size = qFromLittleEndian<quint32>(head_.constData() + chunk + 4);
            if (memcmp(head_.constData() + chunk, "data", 4) == 0) {
                headUsed_ = chunk + 8;
                left_ = qMin(size, file_.size() - headUsed_) / 2;
                return true;
            }
            chunk += 8 + size + (size & 1);
        }
        return false;
    }

    // Up to count samples; 0 at the end, -1 on a read error (ErrorText()).
    qint64 Read(qint16* samples, qint64 count) {
        const qint64 wanted = 2 * qMin(count, left_);
        auto* bytes = reinterpret_cast<char*>(samples);
        // The samples that came with the head first.
        qint64 done = qBound<qint64>(0, head_.size() - headUsed_, wanted);
        memcpy(bytes, head_.constData() + headUsed_, size_t(done));
        headUsed_ += done;
        while (done < wanted) {
            const qint64 read = file_.read(bytes + done, wanted - done);
            if (read < 0) {
                return -1;
            }
            if (read == 0) {
                left_ = done / 2;  // shorter than its header says
                break;
            }
            done += read;
        }
        left_ -= done / 2;
        qFromLittleEndian<qint16>(samples, done / 2, samples);
        return done / 2;
    }

    QString ErrorText() const { return file_.errorString(); }

private:
    QFile file_;
    QByteArray head_;
    qint64 headUsed_ = 0;
    qint64 left_ = 0;
};

// The file a match writes, and how it becomes the target only when complete. A new file is written
// in place with a header of zeros and gets its real header last, so that until then it is no wave
// file at all (the format check refuses it), and it is removed on failure or cancel. A file that
// replaces another is written unnamed beside it and takes its name when complete, so that the
// earlier file stays until then.
class MatchedFile {
public:
    explicit MatchedFile(const QString& target) : target_(target) {}
    ~MatchedFile() {
        if (created_ && !committed_) {
            direct_.remove();
        }
    }
    MatchedFile(const MatchedFile&) = delete;
    MatchedFile& operator=(const MatchedFile&) = delete;

    bool Open(bool replacing) {
        replacing_ = replacing;
        if (replacing_) {
            temporary_.setFileTemplate(QFileInfo(target_).absolutePath() +
                                       u"/.vantrel-XXXXXX.partial"_s);
            return temporary_.open();
        }
        direct_.setFileName(target_);
        created_ = direct_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
        return created_;
    }
    QFileDevice& Device() { return replacing_ ? static_cast<QFileDevice&>(temporary_) : direct_; }

    // Writes the real header over the zeros and gives the file its name.
    [[nodiscard]] bool Commit(qint64 samples, QString* error) {
        QFileDevice& file = Device();
        if (!file.seek(0) || !WriteAll(file, wave_header::MonoPcm16(samples * 2)) ||
            !file.flush()) {
            *error = file.errorString();
            return false;
        }
        file.close();
        if (replacing_) {
            if (!QFile::remove(target_)) {
                *error = u"The existing file cannot be removed."_s;
                return false;
            }
            if (!temporary_.rename(target_)) {
                *error = temporary_.errorString();
                return false;
            }
            temporary_.setAutoRemove(false);
        } else if (file.error() != QFileDevice::NoError) {
            *error = file.errorString();
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    QString target_;
    QFile direct_;
    QTemporaryFile temporary_;
    bool replacing_ = false;
    bool created_ = false;  // the new file this object made, to be removed unless committed
    bool committed_ = false;
};

}  // namespace

QString LoudnessMatcher::TargetFor(const QString& source) {
    const QFileInfo info(source);
    return QDir::cleanPath(info.absoluteDir().filePath(QString::fromUtf16(kSubfolder)) + u'/' +
                           info.fileName());
}

QString LoudnessMatcher::FailureText(const Result& result) {
    switch (result.outcome) {
        case Outcome::Matched:
            return {};
        case Outcome::NotMeasurable:
            return u"%1 has no integrated loudness (too short or silent) and was not matched."_s
                .arg(result.source);
        case Outcome::NotDecodable:
            return u"Could not decode %1 as sound: %2"_s.arg(result.source, result.reason);
        case Outcome::WrongRate:
            return u"%1 is not at 44100 samples per second; convert it first."_s.arg(result.source);
        case Outcome::SameAsSource:
            return u"The matched copy of %1 would replace the original."_s.arg(result.source);
        case Outcome::TargetExists:
            return u"The file %1 exists already."_s.arg(result.target);
        case Outcome::FolderNotCreated:
            return u"Could not create the folder %1"_s.arg(QFileInfo(result.target).path());
        case Outcome::WriteFailed:
            return u"Could not write file: %1\n%2"_s.arg(result.target, result.reason);
        case Outcome::Cancelled:
            return u"Matching the loudness of %1 was cancelled."_s.arg(result.source);
    }
    return {};
}

Result LoudnessMatcher::Match(const QString& source, const QString& target,
                              const LoudnessMeasurement& measured, double targetLufs,
                              bool replaceExisting, const KeepGoing& keepGoing) {
    Result result;
    result.source = source;
    result.target = target;
    result.gain = LoudnessGain::For(measured, targetLufs);
    auto fail = [&result](Outcome outcome, const QString& reason = QString()) {
        result.outcome = outcome;
        result.reason = reason;
        return result;
    };
    if (!result.gain) {
        return fail(Outcome::NotMeasurable);
    }
    const QFileInfo targetInfo(target);
    const bool exists = targetInfo.exists();
    if (exists) {
        if (targetInfo.canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
            return fail(Outcome::SameAsSource);
        }
        if (!replaceExisting) {
            return fail(Outcome::TargetExists);
        }
    }
    // A message wave is read as it is; anything else the decoder reads, at the message rate.
    MessageWaveReader wave;
    AudioDecoder decoder;
    const bool raw = wave.Open(source);
    if (!raw && !decoder.Open(source)) {
        return fail(Outcome::NotDecodable, decoder.ErrorText());
    }
    if (!raw && decoder.SampleRate() != wave_header::kSampleRate) {
        return fail(Outcome::WrongRate);
    }
    if (!QDir().mkpath(targetInfo.absolutePath())) {
        return fail(Outcome::FolderNotCreated);
    }
    MatchedFile matched(target);
    if (!matched.Open(exists) ||
        !WriteAll(matched.Device(), QByteArray(wave_header::kSize, '\0'))) {
        return fail(Outcome::WriteFailed, matched.Device().errorString());
    }
    QFileDevice& file = matched.Device();

    const auto gain = static_cast<float>(result.gain->Linear());
    // Whole 16-bit steps times one stay whole steps: no dither then.
    Pcm16Writer writer(file, gain != 1.0F || (!raw && !decoder.HoldsAtMost16Bits()));
    const auto samples = std::make_unique_for_overwrite<qint16[]>(raw ? kBlockFrames : 0);
    const auto floats = std::make_unique_for_overwrite<float[]>(raw ? 0 : kBlockFrames);
    for (;;) {
        const qint64 read = raw ? wave.Read(samples.get(), kBlockFrames)
                                : decoder.ReadMono(floats.get(), kBlockFrames);
        if (read < 0) {
            return fail(Outcome::NotDecodable, raw ? wave.ErrorText() : decoder.ErrorText());
        }
        if (read == 0) {
            break;
        }
        if (!(raw ? writer.Add(samples.get(), size_t(read), gain)
                  : writer.Add(floats.get(), size_t(read), gain))) {
            return fail(Outcome::WriteFailed, writer.ErrorText());
        }
        if (keepGoing && !keepGoing()) {
            return fail(Outcome::Cancelled);
        }
    }
    QString error;
    if (!matched.Commit(writer.Written(), &error)) {
        return fail(Outcome::WriteFailed, error);
    }
    result.frames = writer.Written();
    return result;
}

QList<Result> LoudnessMatcher::MatchAll(const QList<Job>& jobs, double targetLufs,
                                        bool replaceExisting, const WhileWaiting& whileWaiting) {
    QList<Result> results(jobs.size());
    std::atomic<bool> cancelled = false;
    std::atomic<int> ended = 0;
    const KeepGoing keepGoing = [&cancelled] { return !cancelled.load(); };
    QThreadPool pool;
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        pool.start([&, i] {
            const Job& job = jobs.at(i);
            if (cancelled.load()) {
                results[i].outcome = Outcome::Cancelled;
                results[i].source = job.source;
                results[i].target = job.target;
            } else {
                results[i] = Match(job.source, job.target, job.measured, targetLufs,
                                   replaceExisting, keepGoing);
            }
            ++ended;
        });
    }
    // Each result is written by its own job; the pool is done with all of them before they are
    // read here.
    while (!pool.waitForDone(50)) {
        if (whileWaiting && !whileWaiting(ended.load())) {
            cancelled = true;
        }
    }
    if (whileWaiting) {
        whileWaiting(ended.load());
    }
    return results;
}
