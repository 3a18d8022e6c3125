// Matching loudness by one gain: the gain and where the -1 dBTP ceiling stops it, the files it
// writes (measured again), and what it refuses to write over. Real wave files made here.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

#include "audio/LoudnessMatcher.h"
#include "audio/LoudnessMeter.h"
#include "audio/WaveFormat.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;
using Outcome = LoudnessMatcher::Outcome;
using wave_files::Tone;

namespace {

// The ceiling less the two steps kept for the dither, in dB: the most a gain can bring a peak to.
const double kCeiling = 20 * std::log10(std::pow(10.0, -1.0 / 20) - 2.0 / 32768);

LoudnessMeasurement Measured(double integrated, double truePeak) {
    LoudnessMeasurement measured;
    measured.frames = 44100;
    measured.integrated = integrated;
    measured.truePeak = truePeak;
    return measured;
}

}  // namespace

class TestLoudnessMatcher : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void gainStopsAtThePeakCeiling_data() {
        QTest::addColumn<double>("integrated");
        QTest::addColumn<double>("truePeak");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("gain");
        QTest::addColumn<double>("shortfall");
        QTest::newRow("up, room to spare") << -30.0 << -20.0 << -23.0 << 7.0 << 0.0;
        QTest::newRow("down") << -15.0 << -0.5 << -23.0 << -8.0 << 0.0;
        QTest::newRow("up, stopped by the peak")
            << -30.0 << -5.0 << -23.0 << kCeiling + 5 << 7.0 - (kCeiling + 5);
        QTest::newRow("peak over the ceiling already")
            << -23.0 << 0.5 << -23.0 << kCeiling - 0.5 << 0.5 - kCeiling;
    }
    void gainStopsAtThePeakCeiling() {
        QFETCH(double, integrated);
        QFETCH(double, truePeak);
        QFETCH(double, target);
        QFETCH(double, gain);
        QFETCH(double, shortfall);
        const std::optional<LoudnessGain> planned =
            LoudnessGain::For(Measured(integrated, truePeak), target);
        QVERIFY(planned);
        QVERIFY(std::abs(planned->gainDb - gain) < 1e-9);
        QVERIFY(std::abs(planned->shortfallDb - shortfall) < 1e-9);
        QCOMPARE(planned->PeakLimited(), shortfall > 0.05);
        QVERIFY(std::abs(planned->resultLufs - (integrated + gain)) < 1e-9);
        QVERIFY(truePeak + planned->gainDb <= kCeiling + 1e-9);

        LoudnessMeasurement tooShort;
        tooShort.frames = 1000;
        QVERIFY(!LoudnessGain::For(tooShort, target));
    }

    // Each written file measured again: at the target, or at the ceiling and as far short as said.
    void writtenFilesMeetTheTargetOrTheCeiling_data() {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::addColumn<double>("target");
        QTest::addColumn<bool>("decoded");  // a chunk before "fmt ": read through the decoder
        QTest::newRow("quiet tone up") << QList<Tone>{{4, 1000, -35}} << -23.0 << false;
        QTest::newRow("loud tone down") << QList<Tone>{{4, 1000, -6}} << -23.0 << false;
        QTest::newRow("decoded, up") << QList<Tone>{{4, 1000, -35}} << -23.0 << true;
        QTest::newRow("quiet with a loud burst")
            << QList<Tone>{{10, 1000, -35}, {0.005, 3000, -3}, {2, 1000, -35}} << -23.0 << false;
    }
    void writtenFilesMeetTheTargetOrTheCeiling() {
        QFETCH(QList<Tone>, tones);
        QFETCH(double, target);
        QFETCH(bool, decoded);
        const QString source = dir_->filePath(u"Message.WAV"_s);
        QByteArray wave = wave_files::Tones(tones);
        if (decoded) {
            wave.insert(12, QByteArray("JUNK\4\0\0\0\0\0\0\0", 12));
            qToLittleEndian<quint32>(quint32(wave.size() - 8), wave.data() + 4);
        }
        QVERIFY(wave_files::Write(source, wave));
        QCOMPARE(WaveFormat::Examine(source) == WaveFormat::Verdict::Supported, !decoded);
        const QByteArray original = ReadAll(source);
        QString error;
        const std::optional<LoudnessMeasurement> before =
            LoudnessMeter::MeasureFile(source, &error);
        QVERIFY2(before, qPrintable(error));

        const QString matched = LoudnessMatcher::TargetFor(source);
        QCOMPARE(matched, dir_->filePath(u"matched/Message.WAV"_s));
        const LoudnessMatcher::Result result =
            LoudnessMatcher::Match(source, matched, *before, target);
        QVERIFY2(result.Ok(), qPrintable(LoudnessMatcher::FailureText(result)));
        QCOMPARE(ReadAll(source), original);
        QCOMPARE(WaveFormat::Examine(matched), WaveFormat::Verdict::Supported);
        QCOMPARE(QFileInfo(matched).size(), 44 + 2 * before->frames);
        QCOMPARE(result.frames, before->frames);

        const std::optional<LoudnessMeasurement> after =
            LoudnessMeter::MeasureFile(matched, &error);
        QVERIFY2(after, qPrintable(error));
        QVERIFY2(after->truePeak <= -1.0, qPrintable(QString::number(after->truePeak)));
        const double reached = target - result.gain->shortfallDb;
        QVERIFY2(std::abs(*after->integrated - reached) <= 0.05,
                 qPrintable(QString::number(*after->integrated)));
        const bool limited = before->truePeak + (target - *before->integrated) > -1.0;
        QCOMPARE(result.gain->PeakLimited(), limited);
        if (limited) {
            QVERIFY(std::abs(after->truePeak + 1.0) < 0.05);
        }
    }

    void writesOverNothingItMayNot() {
        const QString source = dir_->filePath(u"tone.wav"_s);
        QVERIFY(wave_files::Write(source, wave_files::Tones({{3, 1000, -30}})));
        const LoudnessMeasurement measured = *LoudnessMeter::MeasureFile(source, nullptr);
        const QString target = LoudnessMatcher::TargetFor(source);
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(wave_files::Write(target, "keep"));

        QCOMPARE(LoudnessMatcher::Match(source, target, measured, -23).outcome,
                 Outcome::TargetExists);
        QCOMPARE(ReadAll(target), QByteArray("keep"));
        QCOMPARE(LoudnessMatcher::Match(source, source, measured, -23, true).outcome,
                 Outcome::SameAsSource);
        LoudnessMeasurement tooShort;
        tooShort.frames = 100;
        QCOMPARE(LoudnessMatcher::Match(source, target, tooShort, -23, true).outcome,
                 Outcome::NotMeasurable);
        wave_files::Format rate;
        rate.samplesPerSecond = 48000;
        const QString other = dir_->filePath(u"48k.wav"_s);
        QVERIFY(wave_files::Write(other, wave_files::Make(96000, rate)));
        QCOMPARE(LoudnessMatcher::Match(other, dir_->filePath(u"x.wav"_s), measured, -23).outcome,
                 Outcome::WrongRate);

        // Cancelled after the first block: the earlier file stays, and neither a partial file nor
        // a new one is left.
        const auto stop = [] { return false; };
        QCOMPARE(LoudnessMatcher::Match(source, target, measured, -23, true, stop).outcome,
                 Outcome::Cancelled);
        QCOMPARE(ReadAll(target), QByteArray("keep"));
        const QString fresh = dir_->filePath(u"matched/fresh.wav"_s);
        QCOMPARE(LoudnessMatcher::Match(source, fresh, measured, -23, false, stop).outcome,
                 Outcome::Cancelled);
        const QDir folder(QFileInfo(target).path());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{u"tone.wav"_s});

        QVERIFY(LoudnessMatcher::Match(source, target, measured, -23, true).Ok());
        QCOMPARE(WaveFormat::Examine(target), WaveFormat::Verdict::Supported);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{u"tone.wav"_s});
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

VANTREL_TEST_GUILESS_MAIN(TestLoudnessMatcher)
#include "test_loudness_matcher.moc"
