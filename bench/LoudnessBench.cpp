// Times loudness measuring and matching. The audio is made here: speech-like sound, syllables of
// voiced sound (a buzz of harmonics on a gliding pitch) and of hiss, each under its own swell and
// level, with pauses between words and sentences; mono, 16 bits, 44.1 kHz.
//
// 1. Measuring a long file with true peak (LoudnessMeter::MeasureFile, as the page and the command
//    do): the ratio to real time, and the ratio to ffmpeg's ebur128 filter with peak=true on the
//    same file, run in turns (skipped with a note when ffmpeg is not installed). The integrated
//    loudness and true peak of both are printed side by side.
// 2. Matching a 1023-message set to -23 LUFS (LoudnessMatcher::MatchAll, its measurements known, as
//    on the page) against a plain copy of its waves into another folder, in turns.
//
// Prints the figures and the ratios (medians of the ratios of each turn); exits with 1 when a
// target is missed: at least 200 times real time, at most 1.0 times ffmpeg, matching at most 1.5
// times the copy.
//
//   loudness_bench [minutes = 60] [rounds = 3]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/LoudnessMatcher.h"
#include "audio/LoudnessMeter.h"
#include "audio/WaveHeader.h"
#include "base/WriteAll.h"
#include "bench/Median.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRate = 44100;
constexpr int kMessages = 1023;
constexpr double kMessageSeconds = 3.0;
constexpr double kTarget = -23.0;
constexpr qint64 kChunk = 81920;

// Speech-like sound, block by block, the same on every run.
class SpeechLike {
public:
    explicit SpeechLike(quint32 seed) : random_(seed) {
        // One period of a buzz: harmonics falling at 6 dB an octave, as a glottal source does.
        for (size_t i = 0; i < buzz_.size(); ++i) {
            double value = 0;
            for (int harmonic = 1; harmonic <= 12; ++harmonic) {
                value +=
                    std::sin(2 * std::numbers::pi * harmonic * double(i) / buzz_.size()) / harmonic;
            }
            buzz_[i] = float(value * 0.55);
        }
    }

    void Fill(float* samples, qint64 count) {
        for (qint64 i = 0; i < count; ++i) {
            if (left_ == 0) {
                NextSegment();
            }
            const double swell =
                length_ > 0 ? std::sin(std::numbers::pi * (length_ - left_) / double(length_))
                            : 0.0;
            float value = 0;
            if (kind_ == Kind::Voiced) {
                phase_ += pitch_ / kRate;
                pitch_ += glide_;
                phase_ -= std::floor(phase_);
                value = buzz_[size_t(phase_ * buzz_.size()) % buzz_.size()];
            } else if (kind_ == Kind::Hiss) {
                // White noise less itself two samples before: a band around a quarter of the
                // rate, nothing at the ends, as the hiss of a fricative.
                const float noise = float(random_.generateDouble() * 2 - 1);
                value = (noise - noise2_) * 0.5F;
                noise2_ = noise1_;
                noise1_ = noise;
            }
            samples[i] = float(level_ * swell) * value;
            --left_;
        }
    }

private:
    enum class Kind { Voiced, Hiss, Pause };

    void NextSegment() {
        if (kind_ != Kind::Pause && --untilPause_ <= 0) {
            // Between words, and now and then a longer one between sentences.
            kind_ = Kind::Pause;
            const bool sentence = random_.bounded(4) == 0;
            length_ = Frames(sentence ? 0.4 + 0.4 * random_.generateDouble()
                                      : 0.05 + 0.1 * random_.generateDouble());
            untilPause_ = 2 + int(random_.bounded(4));
        } else {
            kind_ = random_.bounded(5) == 0 ? Kind::Hiss : Kind::Voiced;
            length_ = Frames(0.08 + 0.22 * random_.generateDouble());
            pitch_ = 90 + 130 * random_.generateDouble();
            glide_ = (random_.generateDouble() - 0.5) * 40 / double(length_);
            level_ = std::pow(10.0, (-8 - 12 * random_.generateDouble()) / 20);
        }
        left_ = length_;
    }
    static qint64 Frames(double seconds) { return qint64(seconds * kRate); }

    QRandomGenerator random_;
    std::array<float, 2048> buzz_{};
    Kind kind_ = Kind::Pause;
    qint64 length_ = 0;
    qint64 left_ = 0;
    int untilPause_ = 3;
    double phase_ = 0;
    double pitch_ = 120;
    double glide_ = 0;
    double level_ = 0;
    float noise1_ = 0;
    float noise2_ = 0;
};

// Writes frames of the generator, scaled by gain, as a message wave; measures it on the way when
// meter is given.
bool WriteWave(const QString& path, SpeechLike& speech, qint64 frames, double gain,
               LoudnessMeter* meter) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !WriteAll(file, wave_header::MonoPcm16(frames * 2))) {
        return false;
    }
    std::vector<float> block(65536);
    std::vector<qint16> pcm(block.size());
    for (qint64 done = 0; done < frames;) {
        const qint64 count = std::min<qint64>(qint64(block.size()), frames - done);
        speech.Fill(block.data(), count);
        for (qint64 i = 0; i < count; ++i) {
            const double value = std::round(block[i] * gain * 32767);
            pcm[i] = qToLittleEndian(qint16(std::clamp(value, -32768.0, 32767.0)));
        }
        if (meter != nullptr) {
            meter->Add(pcm.data(), count);
        }
        if (!WriteAll(file, QByteArrayView(reinterpret_cast<const char*>(pcm.data()), count * 2))) {
            return false;
        }
        done += count;
    }
    return file.flush();
}

// Copies a file in 81920-byte chunks, as a plain file copy would.
bool PlainCopy(const QString& from, const QString& to) {
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return false;
    }
    std::vector<char> buffer(kChunk);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n <= 0) {
            return n == 0;
        }
        if (!WriteAll(out, QByteArrayView(buffer.data(), n))) {
            return false;
        }
    }
}

QString Fixed(double value, int decimals = 1) {
    return QString::number(value, 'f', decimals);
}

// ffmpeg's summary: the integrated loudness and the true peak, or empty when it has none.
QString FfmpegSummary(const QByteArray& output) {
    // Its log has a line for every 100 ms before the summary.
    const QString text = QString::fromUtf8(output.mid(output.lastIndexOf("Summary:")));
    const auto integrated = QRegularExpression(u"I:\\s+(-?[0-9.]+) LUFS"_s).match(text);
    const auto peak = QRegularExpression(u"Peak:\\s+(-?[0-9.]+) dBFS"_s).match(text);
    if (!integrated.hasMatch() || !peak.hasMatch()) {
        return {};
    }
    return u"integrated %1 LUFS, true peak %2 dBTP"_s.arg(integrated.captured(1), peak.captured(1));
}

// Measures the long file, ours against ffmpeg; false when a target is missed.
bool MeasureLong(QTextStream& out, const QString& dir, int minutes, int rounds) {
    const QString path = dir + u"/speech.wav"_s;
    SpeechLike speech(1);
    const qint64 frames = qint64(minutes) * 60 * kRate;
    if (!WriteWave(path, speech, frames, 1.0, nullptr)) {
        out << "cannot write " << path << Qt::endl;
        return false;
    }
    const double seconds = double(frames) / kRate;
    out << "Measuring " << minutes << " min of speech-like audio (mono, 16 bits, 44.1 kHz, "
        << QFileInfo(path).size() / (1024 * 1024) << " MB) with true peak; " << rounds
        << " rounds, medians" << Qt::endl;

    const QString ffmpeg = QStandardPaths::findExecutable(u"ffmpeg"_s);
    const QStringList ffmpegArguments{u"-nostats"_s,          u"-i"_s, path,      u"-af"_s,
                                      u"ebur128=peak=true"_s, u"-f"_s, u"null"_s, u"-"_s};
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> ratios;
    LoudnessMeasurement measured;
    QString ffmpegSummary;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        const auto result = LoudnessMeter::MeasureFile(path, &error);
        ours.push_back(timer.nsecsElapsed() / 1e9);
        if (!result) {
            out << "measuring failed: " << error << Qt::endl;
            return false;
        }
        measured = *result;
        if (ffmpeg.isEmpty()) {
            continue;
        }
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        timer.restart();
        process.start(ffmpeg, ffmpegArguments);
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            out << "ffmpeg failed: " << process.errorString() << Qt::endl;
            return false;
        }
        theirs.push_back(timer.nsecsElapsed() / 1e9);
        ratios.push_back(ours.back() / theirs.back());
        ffmpegSummary = FfmpegSummary(process.readAll());
    }
    const double realTime = seconds / Median(ours);
    out << "  ours:   " << Fixed(Median(ours), 2) << " s, " << Fixed(realTime, 0)
        << "x real time (target >= 200x); integrated "
        << (measured.integrated ? Fixed(*measured.integrated) : u"none"_s) << " LUFS, true peak "
        << Fixed(measured.truePeak) << " dBTP" << Qt::endl;
    bool met = realTime >= 200;
    if (ffmpeg.isEmpty()) {
        out << "  ffmpeg: not installed; the comparison is skipped" << Qt::endl;
        return met;
    }
    out << "  ffmpeg: " << Fixed(Median(theirs), 2) << " s, " << Fixed(seconds / Median(theirs), 0)
        << "x real time; " << (ffmpegSummary.isEmpty() ? u"no summary read"_s : ffmpegSummary)
        << Qt::endl;
    out << "  ours / ffmpeg: " << Fixed(Median(ratios), 2) << "x (target <= 1.0x)" << Qt::endl;
    return met && Median(ratios) <= 1.0;
}

// Matches a set against a plain copy of its waves; false when the target is missed.
bool MatchSet(QTextStream& out, const QString& dir, int rounds) {
    const QString waves = dir + u"/set"_s;
    const QString copies = dir + u"/copy"_s;
    if (!QDir().mkpath(waves)) {
        out << "cannot make " << waves << Qt::endl;
        return false;
    }
    SpeechLike speech(2);
    QRandomGenerator levels(3);
    QList<LoudnessMatcher::Job> jobs;
    qint64 bytes = 0;
    for (int i = 0; i < kMessages; ++i) {
        const QString path = waves + u"/m%1.wav"_s.arg(i, 4, 10, QChar(u'0'));
        LoudnessMeter meter;
        // Recorded at levels up to 8 dB apart.
        const double gain = std::pow(10.0, -8 * levels.generateDouble() / 20);
        if (!WriteWave(path, speech, qint64(kMessageSeconds * kRate), gain, &meter)) {
            out << "cannot write " << path << Qt::endl;
            return false;
        }
        bytes += QFileInfo(path).size();
        jobs.append({path, LoudnessMatcher::TargetFor(path), meter.Result()});
    }
    out << "Matching a set of " << kMessages << " messages of " << kMessageSeconds << " s ("
        << bytes / (1024 * 1024) << " MB) to " << kTarget
        << " LUFS against a plain copy of its waves; " << rounds << " rounds, medians" << Qt::endl;

    auto copyAll = [&] {
        if (!QDir().mkpath(copies)) {
            return false;
        }
        for (const LoudnessMatcher::Job& job : jobs) {
            if (!PlainCopy(job.source, copies + u'/' + QFileInfo(job.source).fileName())) {
                return false;
            }
        }
        return true;
    };
    auto matchAll = [&] {
        for (const LoudnessMatcher::Result& result :
             LoudnessMatcher::MatchAll(jobs, kTarget, true)) {
            if (!result.Ok()) {
                out << LoudnessMatcher::FailureText(result) << Qt::endl;
                return false;
            }
        }
        return true;
    };
    auto clear = [&] {
        return QDir(copies).removeRecursively() &&
               QDir(waves + u'/' + QString::fromUtf16(LoudnessMatcher::kSubfolder))
                   .removeRecursively();
    };
    // One of each first, so that both start from the same warm cache.
    if (!copyAll() || !matchAll()) {
        out << "warm-up failed" << Qt::endl;
        return false;
    }
    std::vector<double> copyTimes;
    std::vector<double> matchTimes;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        if (!clear()) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        if (!copyAll()) {
            return false;
        }
        copyTimes.push_back(timer.nsecsElapsed() / 1e9);
        timer.restart();
        if (!matchAll()) {
            return false;
        }
        matchTimes.push_back(timer.nsecsElapsed() / 1e9);
        ratios.push_back(matchTimes.back() / copyTimes.back());
    }
    out << "  copy: " << Fixed(Median(copyTimes), 3)
        << " s, match: " << Fixed(Median(matchTimes), 3)
        << " s, match / copy: " << Fixed(Median(ratios), 2) << "x (target <= 1.5x)" << Qt::endl;
    return Median(ratios) <= 1.5;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    const int minutes = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 60;
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 3;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        out << "no temporary folder" << Qt::endl;
        return 2;
    }
    const bool measuring = MeasureLong(out, dir.path(), minutes, rounds);
    QFile::remove(dir.filePath(u"speech.wav"_s));
    const bool matching = MatchSet(out, dir.path(), rounds);
    return measuring && matching ? 0 : 1;
}
