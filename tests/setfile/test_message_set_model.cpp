#include <QTemporaryDir>
#include <QTest>

#include "setfile/FormatKilobytes.h"
#include "setfile/MessageNameRule.h"
#include "setfile/MessageSetModel.h"
#include "setfile/WaveEntry.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using Format = wave_files::Format;

Q_DECLARE_METATYPE(wave_files::Format)

class MessageSetModelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void formatKilobytes_data() {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << quint64(0) << u"0 KB"_s;
        QTest::newRow("just under 1 KB") << quint64(1023) << u"0 KB"_s;
        QTest::newRow("wave of the example") << quint64(100044) << u"97 KB"_s;
        QTest::newRow("999 KB") << quint64(999 * 1024) << u"999 KB"_s;
        QTest::newRow("1000 KB") << quint64(1000 * 1024) << u"1,000 KB"_s;
        QTest::newRow("1 MB") << quint64(1048576) << u"1,024 KB"_s;
        QTest::newRow("inner group padded") << quint64(1005 * 1024 + 1023) << u"1,005 KB"_s;
        QTest::newRow("a million KB") << quint64(1024000000) << u"  1,000,000 KB"_s;
        QTest::newRow("1000 MB") << quint64(1048576000) << u"  1,024,000 KB"_s;
        QTest::newRow("groups padded") << quint64(12003004) * 1024 << u" 12,003,004 KB"_s;
        QTest::newRow("largest 32-bit") << quint64(0xFFFFFFFF) << u"  4,194,303 KB"_s;
    }
    void formatKilobytes() {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatKilobytes(bytes), text);
    }

    void estimate() {
        MessageSetModel model;
        model.setName = u"a.SET"_s;
        QCOMPARE(model.EstimateSetSize(), 0);
        model.entries.append({u"hello"_s, 100044, u"/w/hello.wav"_s});
        QCOMPARE(model.EstimateSetSize(), 106496);
        // The set name counts in bytes, the message names not at all.
        model.setName = u"ä.SET"_s;
        model.entries[0].name = u"a much longer name"_s;
        QCOMPARE(model.EstimateSetSize(), 106496);
        // e = 0 + 4105 + 4 * 1024 - 20 = 8181 -> 8192; and exactly 8192 -> 12288.
        model.setName.clear();
        model.entries[0].size = 4 * 1024 + 1023;
        QCOMPARE(model.EstimateSetSize(), 8192);
        model.setName = u"12345678901"_s;  // e = 11 + 4105 + 4096 - 20 = 8192
        QCOMPARE(model.EstimateSetSize(), 12288);
    }

    void estimateOfManySmallFilesIsNotNegative() {
        MessageSetModel model;
        model.setName = u"s"_s;
        for (int i = 0; i < MessageSetModel::kMaxMessages; ++i) {
            model.entries.append({u"m"_s, 36, u"/w/m.wav"_s});
        }
        QCOMPARE(model.EstimateSetSize(), 0);
        QVERIFY(model.IsFull());
    }

    void estimateBeyondTwoGigabytes() {
        MessageSetModel model;
        model.setName = u"big.SET"_s;
        for (int i = 0; i < 3; ++i) {
            model.entries.append({u"m"_s, 0xFFFFFC00u, u"/w/m.wav"_s});
        }
        const qint64 e = 7 + 4105 + 3 * (qint64(0xFFFFFC00u) - 20);
        QCOMPARE(model.EstimateSetSize(), (e / 4096 + 1) * 4096);
    }

    void nameRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("16 characters") << u"abcdefghijklmnop"_s << true;
        QTest::newRow("17 characters") << u"abcdefghijklmnopq"_s << false;
        QTest::newRow("tilde") << u"fire~1"_s << false;
        QTest::newRow("16 bytes of umlauts") << u"ääääääää"_s << true;
        QTest::newRow("17 bytes with an umlaut") << u"äbcdefghijklmnop"_s << false;
    }
    void nameRule() {
        QFETCH(QString, name);
        QFETCH(bool, acceptable);
        QCOMPARE(message_name_rule::IsAcceptableName(name), acceptable);
    }

    void nameForWaveFile_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("mixed case") << u"/home/eng/Sounds/Fire Alarm.WAV"_s << u"fire alarm"_s;
        QTest::newRow("no folder") << u"evacuate.wav"_s << u"evacuate"_s;
        QTest::newRow("dots in the name") << u"/w/v1.2.final.wav"_s << u"v1.2.final"_s;
        QTest::newRow("short") << u"/w/ab"_s << QString();
    }
    void nameForWaveFile() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(message_name_rule::NameForWaveFile(path), name);
    }

    // A wave file as the next message of a set: every refusal, then the message it makes.
    void waveEntry_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("messagesInSet");
        QTest::addColumn<int>("problem");
        using Problem = WaveEntry::Problem;
        const QByteArray good = wave_files::Make(2000);
        QTest::newRow("taken") << u"Door Bell.WAV"_s << good << 0 << int(Problem::None);
        QTest::newRow("set full") << u"a.wav"_s << good << int(MessageSetModel::kMaxMessages)
                                  << int(Problem::SetFull);
        QTest::newRow("13 characters and .wav")
            << u"thirteenchars.wav"_s << good << 0 << int(Problem::NameRule);
        QTest::newRow("tilde") << u"a~1.wav"_s << good << 0 << int(Problem::NameRule);
        QTest::newRow("stereo") << u"st.wav"_s << wave_files::Make(100, Format{1, 2, 44100, 4, 16})
                                << 0 << int(Problem::UnsupportedFormat);
        QTest::newRow("too short")
            << u"sh.wav"_s << wave_files::MakeExact(35) << 0 << int(Problem::Unreadable);
    }
    void waveEntry() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, messagesInSet);
        QFETCH(int, problem);
        const QString path = dir_.filePath(file);
        QVERIFY(wave_files::Write(path, bytes));
        const WaveEntry wave = WaveEntry::FromFile(path, messagesInSet);
        QCOMPARE(int(wave.problem), problem);
        QCOMPARE(wave.formatText.isEmpty(), problem != int(WaveEntry::Problem::UnsupportedFormat));
        if (wave.Ok()) {
            QCOMPARE(wave.entry, (MessageEntry{u"door bell"_s, 2044, path}));
        }
        static_assert(MessageEntry::ClampSize(qint64(1) << 32) == 0xFFFFFFFFu);
        static_assert(MessageEntry::ClampSize(0xFFFFFFFE) == 0xFFFFFFFEu);
    }

private:
    QTemporaryDir dir_;
};

VANTREL_TEST_GUILESS_MAIN(MessageSetModelTest)
#include "test_message_set_model.moc"
