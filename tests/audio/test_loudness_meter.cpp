// The loudness meter against signals of known loudness: sine tones at known levels (the sine
// cases of EBU Tech 3341 that a mono message can hold, their levels 3 dB up for the one channel),
// gating, the inter-sample peak of a tone at a quarter of the rate, and messages too short or too
// quiet to have a value.

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

#include "audio/LoudnessMeter.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using wave_files::Tone;

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Measures the samples of a wave made by wave_files::Tones, added in blocks of odd sizes.
LoudnessMeasurement Measure(const QList<Tone>& tones) {
    const QByteArray wave = wave_files::Tones(tones);
    const auto* samples = reinterpret_cast<const qint16*>(wave.constData() + 44);
    const qint64 count = (wave.size() - 44) / 2;
    LoudnessMeter meter;
    for (qint64 done = 0; done < count;) {
        const qint64 block = std::min<qint64>(count - done, 3001);
        meter.Add(samples + done, block);
        done += block;
    }
    return meter.Result();
}

}  // namespace

class TestLoudnessMeter : public QObject {
    Q_OBJECT

private slots:
    void knownSignals_data() {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::addColumn<double>("integrated");  // NaN: not checked
        QTest::addColumn<double>("maxMomentary");
        QTest::addColumn<double>("truePeak");
        QTest::newRow("1 kHz at -20 dBFS")
            << QList<Tone>{{20, 1000, -20}} << -23.0 << -23.0 << -20.0;
        QTest::newRow("1 kHz at -10 dBFS")
            << QList<Tone>{{5, 1000, -10}} << -13.0 << -13.0 << -10.0;
        QTest::newRow("1 kHz at -40 dBFS")
            << QList<Tone>{{5, 1000, -40}} << -43.0 << -43.0 << -40.0;
        // Tech 3341 case 3: the quiet parts fall below the relative gate.
        QTest::newRow("gated -33/-20/-33 dBFS")
            << QList<Tone>{{10, 1000, -33}, {60, 1000, -20}, {10, 1000, -33}} << -23.0 << -23.0
            << -20.0;
        // Tech 3341 case 5: the loud middle sets the momentary maximum.
        QTest::newRow("gated -23/-17/-23 dBFS")
            << QList<Tone>{{20, 1000, -23}, {20.1, 1000, -17}, {20, 1000, -23}} << -23.0 << -20.0
            << -17.0;
        // The samples of a tone at a quarter of the rate, at 45 degrees, lie 3 dB below its peak.
        QTest::newRow("inter-sample peak")
            << QList<Tone>{{2, 11025, -6, M_PI / 4}} << kNone << kNone << -6.0;
    }
    void knownSignals() {
        QFETCH(QList<Tone>, tones);
        QFETCH(double, integrated);
        QFETCH(double, maxMomentary);
        QFETCH(double, truePeak);
        const LoudnessMeasurement measured = Measure(tones);
        QVERIFY(!measured.TooShort() && !measured.Silent());
        QVERIFY(measured.integrated && measured.maxMomentary);
        if (!std::isnan(integrated)) {
            QVERIFY2(std::abs(*measured.integrated - integrated) <= 0.1,
                     qPrintable(QString::number(*measured.integrated)));
            QVERIFY2(std::abs(*measured.maxMomentary - maxMomentary) <= 0.1,
                     qPrintable(QString::number(*measured.maxMomentary)));
        }
        QVERIFY2(measured.truePeak <= truePeak + 0.2 && measured.truePeak >= truePeak - 0.4,
                 qPrintable(QString::number(measured.truePeak)));
        double seconds = 0;
        for (const Tone& tone : tones) {
            seconds += tone.seconds;
        }
        QCOMPARE(measured.frames, qint64(std::llround(seconds * 44100)));
    }

    void withoutAValue_data() {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::addColumn<bool>("tooShort");
        QTest::addColumn<bool>("silent");
        QTest::newRow("nothing") << QList<Tone>{} << true << false;
        QTest::newRow("0.3 s") << QList<Tone>{{0.3, 1000, -10}} << true << false;
        QTest::newRow("one frame under 0.4 s")
            << QList<Tone>{{17639 / 44100.0, 1000, -10}} << true << false;
        QTest::newRow("0.4 s") << QList<Tone>{{0.4, 1000, -10}} << false << false;
        QTest::newRow("digital silence") << QList<Tone>{{2, 0, 0}} << false << true;
        QTest::newRow("below the absolute gate") << QList<Tone>{{2, 1000, -80}} << false << true;
    }
    void withoutAValue() {
        QFETCH(QList<Tone>, tones);
        QFETCH(bool, tooShort);
        QFETCH(bool, silent);
        const LoudnessMeasurement measured = Measure(tones);
        QCOMPARE(measured.TooShort(), tooShort);
        QCOMPARE(measured.Silent(), silent);
        QCOMPARE(measured.integrated.has_value(), !tooShort && !silent);
        QCOMPARE(measured.maxMomentary.has_value(), !tooShort && !silent);
        if (!tones.isEmpty() && tones.constFirst().frequency > 0) {
            QVERIFY(std::abs(measured.truePeak - tones.constFirst().peakDbfs) < 0.5);
        }
    }

    void measuresFilesAndSaysWhyNot() {
        QTemporaryDir dir;
        const QString wave = dir.filePath(u"tone.wav"_s);
        QVERIFY(wave_files::Write(wave, wave_files::Tones({{3, 1000, -26}})));
        QString error;
        const std::optional<LoudnessMeasurement> measured =
            LoudnessMeter::MeasureFile(wave, &error);
        QVERIFY2(measured, qPrintable(error));
        QVERIFY(std::abs(*measured->integrated + 29.0) <= 0.1);

        const QString text = dir.filePath(u"text.wav"_s);
        QVERIFY(wave_files::Write(text, "not a sound file"));
        QVERIFY(!LoudnessMeter::MeasureFile(text, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!LoudnessMeter::MeasureFile(wave, &error, [] { return false; }));
        QCOMPARE(error, u"cancelled"_s);
    }
};

VANTREL_TEST_GUILESS_MAIN(TestLoudnessMeter)
#include "test_loudness_meter.moc"
