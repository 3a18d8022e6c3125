#include <QTemporaryDir>
#include <QTest>

#include "audio/WaveFormat.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Format = wave_files::Format;

namespace {

const QString kLead =
    u"The selected file has an invalid wave format and will be ignored.\n"
    "The supported wav format is mono, 16 bit, 44.1kHz.\n"
    "The selected file is "_s;

}  // namespace

Q_DECLARE_METATYPE(wave_files::Format)

class WaveFormatTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void formats_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("ending");  // empty: accepted
        QTest::newRow("supported") << Format{} << QString();
        QTest::newRow("block alignment 4")
            << Format{1, 1, 44100, 4, 16} << u"mono, 16 bits, 44kHz."_s;
        QTest::newRow("8 bit 22 kHz") << Format{1, 1, 22050, 1, 8} << u"mono, 8 bits, 22kHz."_s;
        QTest::newRow("stereo 48 kHz")
            << Format{1, 2, 48000, 4, 16} << u"stereo, 16 bits, 48kHz."_s;
        QTest::newRow("six channels")
            << Format{1, 6, 44100, 12, 16} << u"undefined, 16 bits, 44kHz."_s;
        QTest::newRow("not PCM") << Format{3, 1, 44100, 2, 16} << u"mono, 16 bits, 44kHz."_s;
        QTest::newRow("rate over 4 GHz")
            << Format{1, 1, 0xFFFFFFFF, 2, 16} << u"mono, 16 bits, 4294967kHz."_s;
    }
    void formats() {
        QFETCH(Format, format);
        QFETCH(QString, ending);
        const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()) + u".wav"_s);
        QVERIFY(wave_files::Write(path, wave_files::Make(100, format)));
        QString message;
        QCOMPARE(WaveFormat::Examine(path, &message), ending.isEmpty()
                                                          ? WaveFormat::Verdict::Supported
                                                          : WaveFormat::Verdict::Unsupported);
        QCOMPARE(message, ending.isEmpty() ? QString() : kLead + ending);
    }

    void onlyTheFixedOffsetsCount() {
        // No RIFF header and no chunk names, but the right fields at 20 to 35: accepted. Exactly
        // 36 bytes are enough.
        QByteArray bytes = wave_files::MakeExact(36);
        bytes.replace(0, 20, QByteArray(20, 'x'));
        const QString path = dir_.filePath(u"bare.wav"_s);
        QVERIFY(wave_files::Write(path, bytes));
        QCOMPARE(WaveFormat::Examine(path), WaveFormat::Verdict::Supported);
    }

    void unreadableFilesHaveNoMessage() {
        const QString shortFile = dir_.filePath(u"short.wav"_s);
        QVERIFY(wave_files::Write(shortFile, wave_files::MakeExact(35)));
        for (const QString& path : {shortFile, dir_.filePath(u"missing.wav"_s), dir_.path()}) {
            QString message;
            QCOMPARE(WaveFormat::Examine(path, &message), WaveFormat::Verdict::Unreadable);
            QVERIFY(message.isEmpty());
        }
    }

private:
    QTemporaryDir dir_;
};

VANTREL_TEST_GUILESS_MAIN(WaveFormatTest)
#include "test_wave_format.moc"
