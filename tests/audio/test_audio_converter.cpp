#include <sndfile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/AudioConverter.h"
#include "audio/WaveFormat.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;
using Outcome = AudioConverter::Outcome;

namespace {

constexpr double kTone = 1000.0;
constexpr double kAmplitude = 0.5;

// Writes a 1 kHz tone whose channels, in phase, have amplitudes that average to kAmplitude
// (channel c: 2 (c + 1) / (n + 1) of it), so that only a mean of the channels gives kAmplitude.
bool WriteTone(const QString& path, int format, int channels, int rate, double seconds,
               double amplitude = kAmplitude) {
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = rate;
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(
        sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info), &sf_close);
    if (!file) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(seconds * rate);
    std::vector<float> samples(static_cast<size_t>(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i) {
        const double value = std::sin(2 * M_PI * kTone * double(i) / rate);
        for (int c = 0; c < channels; ++c) {
            samples[size_t(i * channels + c)] =
                static_cast<float>(value * amplitude * 2 * (c + 1) / (channels + 1));
        }
    }
    return sf_writef_float(file.get(), samples.data(), frames) == frames;
}

// The 16-bit samples of a converted file (after its 44-byte header).
std::vector<qint16> Samples(const QString& path) {
    const QByteArray bytes = ReadAll(path).mid(44);
    std::vector<qint16> samples(size_t(bytes.size() / 2));
    qFromLittleEndian<qint16>(bytes.constData(), qsizetype(samples.size()), samples.data());
    return samples;
}

}  // namespace

class AudioConverterTest : public QObject {
    Q_OBJECT

private:
    QString Path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void convertsToTheMessageFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::newRow("8-bit mono 22.05 kHz")
            << u"a.wav"_s << (SF_FORMAT_WAV | SF_FORMAT_PCM_U8) << 1 << 22050;
        QTest::newRow("24-bit stereo 48 kHz")
            << u"b.wav"_s << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 2 << 48000;
        QTest::newRow("32-bit 6 channels 96 kHz")
            << u"c.wav"_s << (SF_FORMAT_WAV | SF_FORMAT_PCM_32) << 6 << 96000;
        QTest::newRow("float stereo 44.1 kHz")
            << u"d.wav"_s << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 2 << 44100;
        QTest::newRow("16-bit stereo 44.1 kHz AIFF")
            << u"e.aiff"_s << (SF_FORMAT_AIFF | SF_FORMAT_PCM_16) << 2 << 44100;
        QTest::newRow("FLAC 24-bit stereo 96 kHz")
            << u"f.flac"_s << (SF_FORMAT_FLAC | SF_FORMAT_PCM_24) << 2 << 96000;
        QTest::newRow("Ogg Vorbis stereo 48 kHz")
            << u"g.ogg"_s << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 2 << 48000;
    }
    void convertsToTheMessageFormat() {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(int, channels);
        QFETCH(int, rate);
        const QString source = Path(name);
        QVERIFY(WriteTone(source, format, channels, rate, 0.5));

        const QString target = AudioConverter::TargetFor(source);
        QCOMPARE(target,
                 QDir::cleanPath(Path(u"converted/"_s + QFileInfo(name).baseName() + u".wav"_s)));
        const AudioConverter::Result result = AudioConverter().Convert(source, target);
        QVERIFY2(result.Ok(), qPrintable(AudioConverter::FailureText(result)));
        QCOMPARE(result.clippedSamples, 0);
        QCOMPARE(WaveFormat::Examine(target), WaveFormat::Verdict::Supported);

        const std::vector<qint16> samples = Samples(target);
        QCOMPARE(qint64(samples.size()), result.frames);
        QCOMPARE(QFileInfo(target).size(), 44 + 2 * result.frames);
        QVERIFY2(std::abs(result.frames - 22050) <= 2, qPrintable(QString::number(result.frames)));
        // Level and pitch over the steady middle: the mean of the channels, at 1 kHz.
        double power = 0;
        int crossings = 0;
        for (size_t i = 4410; i < 17640; ++i) {
            power += double(samples[i]) * samples[i];
            crossings += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
        }
        const double rms = std::sqrt(power / (17640 - 4410)) / 32768;
        QVERIFY2(std::abs(rms / (kAmplitude / std::sqrt(2)) - 1) < 0.02,
                 qPrintable(QString::number(rms)));
        QVERIFY2(std::abs(crossings - 600) <= 2, qPrintable(QString::number(crossings)));
    }

    void copiesA16BitMonoFileSampleForSample() {
        // The right samples behind a header the format check refuses.
        const QString source = Path(u"extensible.wav"_s);
        QVERIFY(WriteTone(source, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 1, 44100, 0.2));
        QCOMPARE(WaveFormat::Examine(source), WaveFormat::Verdict::Unsupported);
        const QString target = AudioConverter::TargetFor(source, Path(u"out"_s));
        QVERIFY(AudioConverter().Convert(source, target).Ok());

        SF_INFO info{};
        const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(
            sf_open(QFile::encodeName(source).constData(), SFM_READ, &info), &sf_close);
        QVERIFY(file);
        std::vector<qint16> original(size_t(info.frames));
        QCOMPARE(sf_readf_short(file.get(), original.data(), info.frames), info.frames);
        QVERIFY(Samples(target) == original);

        const QString loud = Path(u"loud.wav"_s);
        QVERIFY(WriteTone(loud, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, 0.1, 1.5));
        const AudioConverter::Result clipped =
            AudioConverter().Convert(loud, AudioConverter::TargetFor(loud));
        QVERIFY(clipped.Ok());
        QVERIFY(clipped.clippedSamples > 0);
    }

    void reportsWhatItCannotDecode() {
        const QString source = Path(u"notes.wav"_s);
        QVERIFY(wave_files::Write(source, "just some text, not sound\n"));
        const AudioConverter::Result result =
            AudioConverter().Convert(source, AudioConverter::TargetFor(source));
        QCOMPARE(result.outcome, Outcome::NotDecodable);
        const QString text = AudioConverter::FailureText(result);
        QVERIFY2(text.startsWith(u"Could not decode "_s + source + u" as sound: "_s) &&
                     text.size() > source.size() + 30,
                 qPrintable(text));
        QVERIFY(!QFileInfo::exists(Path(u"converted"_s)));
    }

    void writesOverNothingWithoutPermission() {
        const QString source = Path(u"tone.wav"_s);
        QVERIFY(WriteTone(source, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 48000, 1.5));
        const QByteArray original = ReadAll(source);
        const QString target = AudioConverter::TargetFor(source);
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(wave_files::Write(target, "keep"));

        QCOMPARE(AudioConverter().Convert(source, target).outcome, Outcome::TargetExists);
        QCOMPARE(ReadAll(target), QByteArray("keep"));
        for (const bool allowed : {false, true}) {
            QCOMPARE(AudioConverter().Convert(source, source, allowed).outcome,
                     Outcome::SameAsSource);
        }
        QCOMPARE(ReadAll(source), original);

        // Cancelled after the first block: the earlier file stays as it was.
        auto log = std::make_shared<FakeProgressLog>();
        FakeProgress progress(log, 1);
        QCOMPARE(AudioConverter(&progress).Convert(source, target, true).outcome,
                 Outcome::Cancelled);
        QCOMPARE(ReadAll(target), QByteArray("keep"));
        QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files), QStringList{u"tone.wav"_s});

        QVERIFY(AudioConverter().Convert(source, target, true).Ok());
        QCOMPARE(WaveFormat::Examine(target), WaveFormat::Verdict::Supported);
    }
};

VANTREL_TEST_GUILESS_MAIN(AudioConverterTest)
#include "test_audio_converter.moc"
