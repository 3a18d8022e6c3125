// The extract, convert and loudness commands of vantrel-set, run as a process.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "audio/LoudnessMeter.h"
#include "audio/WaveFormat.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/ToolRun.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

class VantrelSetCommandsTest : public QObject {
    Q_OBJECT

private:
    ToolRun Tool(const QStringList& arguments) {
        return RunProgram(QString::fromUtf8(VANTREL_SET_PATH), arguments, dir_->path());
    }
    QString Path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void extractsASetThatRebuildsAsItWas() {
        QVERIFY(wave_files::Write(Path(u"Fire.wav"_s), wave_files::Make(3000)));
        QVERIFY(wave_files::Write(Path(u"Exit.wav"_s), wave_files::Make(5000)));
        QCOMPARE(Tool({u"build"_s, u"a.SET"_s, u"Fire.wav"_s, u"Exit.wav"_s}).exitCode, 0);
        QByteArray set = ReadAll(Path(u"a.SET"_s));
        set[6000] = static_cast<char>(set[6000] ^ 0x10);
        QVERIFY(wave_files::Write(Path(u"a.SET"_s), set));

        const ToolRun run = Tool({u"extract"_s, u"a.SET"_s, u"waves"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(u"vantrel-set: warning: CRC mismatch: stored 0x"_s),
                 qPrintable(run.err));
        QVERIFY(run.out.contains(u"Info file: a.nfo"_s));
        QCOMPARE(QDir(Path(u"waves"_s)).entryList(QDir::Files),
                 (QStringList{u"exit.wav"_s, u"fire.wav"_s}));

        QCOMPARE(Tool({u"build"_s, u"--info"_s, u"a.nfo"_s, u"b.SET"_s}).exitCode, 0);
        // The same bytes but for the CRC, which the flipped byte had made wrong.
        QCOMPARE(ReadAll(Path(u"b.SET"_s)).mid(2), set.mid(2));

        const ToolRun again = Tool({u"extract"_s, u"a.SET"_s, u"waves"_s});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains(u"--overwrite"_s));
        QCOMPARE(Tool({u"extract"_s, u"--overwrite"_s, u"a.SET"_s, u"waves"_s}).exitCode, 0);
        QCOMPARE(Tool({u"extract"_s, u"a.SET"_s}).exitCode, 2);
        QVERIFY(wave_files::Write(Path(u"tiny.SET"_s), "not a set"));
        const ToolRun tiny = Tool({u"extract"_s, u"tiny.SET"_s, u"tiny"_s});
        QCOMPARE(tiny.exitCode, 1);
        QVERIFY2(tiny.err.startsWith(u"vantrel-set: tiny.SET: The file is shorter than"_s),
                 qPrintable(tiny.err));
        QVERIFY(!QFileInfo::exists(Path(u"tiny"_s)));
    }

    void convertsEachFileItCanDecode() {
        const wave_files::Format stereo48{1, 2, 48000, 4, 16};
        QVERIFY(wave_files::Write(Path(u"one.wav"_s), wave_files::Make(96000, stereo48)));
        QVERIFY(wave_files::Write(Path(u"two.wav"_s), wave_files::Make(9600, stereo48)));
        QVERIFY(wave_files::Write(Path(u"bad.flac"_s), "no sound here"));

        const ToolRun run = Tool({u"convert"_s, u"one.wav"_s, u"bad.flac"_s, u"two.wav"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"vantrel-set: Could not decode bad.flac as sound: "_s),
                 qPrintable(run.err));
        for (const QString& name : {u"one.wav"_s, u"two.wav"_s}) {
            QCOMPARE(WaveFormat::Examine(Path(u"converted/"_s + name)),
                     WaveFormat::Verdict::Supported);
        }
        QVERIFY(run.out.contains(u"one.wav -> "_s + Path(u"converted/one.wav"_s) + u" (0.50 s)"_s));

        const ToolRun out = Tool({u"convert"_s, u"--out"_s, u"elsewhere"_s, u"two.wav"_s});
        QCOMPARE(out.exitCode, 0);
        QVERIFY(QFileInfo::exists(Path(u"elsewhere/two.wav"_s)));
        QCOMPARE(Tool({u"convert"_s, u"two.wav"_s}).exitCode, 1);
        QCOMPARE(Tool({u"convert"_s}).exitCode, 2);
    }

    void measuresLoudnessAndMatchesWhileConverting() {
        QVERIFY(wave_files::Write(Path(u"A.wav"_s), wave_files::Tones({{2, 1000, -20}})));
        QVERIFY(wave_files::Write(Path(u"loud.wav"_s), wave_files::Tones({{2, 1000, -15}})));
        QVERIFY(wave_files::Write(Path(u"blip.wav"_s), wave_files::Tones({{0.3, 1000, -10}})));
        QCOMPARE(Tool({u"build"_s, u"s.SET"_s, u"A.wav"_s, u"loud.wav"_s}).exitCode, 0);

        const ToolRun run = Tool(
            {u"loudness"_s, u"--json"_s, u"report.json"_s, u"A.wav"_s, u"blip.wav"_s, u"s.SET"_s});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QVERIFY2(lines.at(0).startsWith(u"name "_s), qPrintable(run.out));
        QCOMPARE(lines.at(1).simplified(),
                 u"a 2.00 s -23.0 LUFS -23.0 LUFS -20.0 dBTP 0.0 LU A.wav"_s);
        QCOMPARE(lines.at(2).simplified(), u"blip 0.30 s too short - -10.0 dBTP - blip.wav"_s);
        QCOMPARE(lines.at(4).simplified(),
                 u"loud 2.00 s -18.0 LUFS -18.0 LUFS -15.0 dBTP +5.0 LU s.SET #1"_s);
        QCOMPARE(lines.at(5), u"Loudness -23.0 to -18.0 LUFS, median -23.0"_s);

        const QJsonObject report =
            QJsonDocument::fromJson(ReadAll(Path(u"report.json"_s))).object();
        QCOMPARE(report.value(u"median"_s).toDouble(), -23.0);
        const QJsonArray messages = report.value(u"messages"_s).toArray();
        QCOMPARE(messages.size(), 4);
        QCOMPARE(messages.at(1).toObject().value(u"status"_s).toString(), u"too short"_s);
        QVERIFY(messages.at(1).toObject().value(u"integrated"_s).isNull());
        const QJsonObject loud = messages.at(3).toObject();
        QCOMPARE(loud.value(u"file"_s).toString(), u"s.SET"_s);
        QCOMPARE(loud.value(u"index"_s).toInt(), 1);
        QCOMPARE(loud.value(u"name"_s).toString(), u"loud"_s);
        QVERIFY(std::abs(loud.value(u"fromMedian"_s).toDouble() - 5.0) < 0.05);
        QVERIFY(std::abs(loud.value(u"truePeak"_s).toDouble() + 15.0) < 0.05);

        const ToolRun json = Tool({u"loudness"_s, u"--json"_s, u"-"_s, u"loud.wav"_s});
        QCOMPARE(json.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object().value(u"median"_s).toDouble(),
                 -18.0);
        const ToolRun missing = Tool({u"loudness"_s, u"A.wav"_s, u"gone.wav"_s});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.startsWith(u"vantrel-set: gone.wav: "_s), qPrintable(missing.err));
        QCOMPARE(Tool({u"loudness"_s}).exitCode, 2);

        // Converted and brought to -30 LUFS on the way; a message too short is only converted.
        const wave_files::Format stereo48{1, 2, 48000, 4, 16};
        QVERIFY(wave_files::Write(Path(u"noise.wav"_s), wave_files::Make(192000, stereo48)));
        const ToolRun convert =
            Tool({u"convert"_s, u"--loudness"_s, u"-30"_s, u"noise.wav"_s, u"blip.wav"_s});
        QCOMPARE(convert.exitCode, 0);
        QVERIFY2(convert.out.contains(u" -> -30.0 LUFS, gain -"_s), qPrintable(convert.out));
        QCOMPARE(convert.err,
                 u"vantrel-set: warning: blip.wav is too short to measure (under 0.4 "
                 "s); converted without a gain.\n"_s);
        const std::optional<LoudnessMeasurement> converted =
            LoudnessMeter::MeasureFile(Path(u"converted/noise.wav"_s), nullptr);
        QVERIFY(converted && std::abs(*converted->integrated + 30.0) < 0.1);
        QCOMPARE(Tool({u"convert"_s, u"--loudness"_s, u"loud"_s, u"noise.wav"_s}).exitCode, 2);
    }
};

VANTREL_TEST_GUILESS_MAIN(VantrelSetCommandsTest)
#include "test_vantrel_set_commands.moc"
