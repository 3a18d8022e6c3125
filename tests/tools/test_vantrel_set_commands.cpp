// The extract and convert commands of vantrel-set, run as a process.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "audio/WaveFormat.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

class VantrelSetCommandsTest : public QObject {
    Q_OBJECT

private:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Run Tool(const QStringList& arguments) {
        QProcess process;
        process.setWorkingDirectory(dir_->path());
        process.start(QString::fromUtf8(VANTREL_SET_PATH), arguments);
        Run run;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
            run.exitCode = process.exitCode();
            run.out = QString::fromUtf8(process.readAllStandardOutput());
            run.err = QString::fromUtf8(process.readAllStandardError());
        }
        return run;
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

        const Run run = Tool({u"extract"_s, u"a.SET"_s, u"waves"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(u"vantrel-set: warning: CRC mismatch: stored 0x"_s),
                 qPrintable(run.err));
        QVERIFY(run.out.contains(u"Info file: a.nfo"_s));
        QCOMPARE(QDir(Path(u"waves"_s)).entryList(QDir::Files),
                 (QStringList{u"exit.wav"_s, u"fire.wav"_s}));

        QCOMPARE(Tool({u"build"_s, u"--info"_s, u"a.nfo"_s, u"b.SET"_s}).exitCode, 0);
        // The same bytes but for the CRC, which the flipped byte had made wrong.
        QCOMPARE(ReadAll(Path(u"b.SET"_s)).mid(2), set.mid(2));

        const Run again = Tool({u"extract"_s, u"a.SET"_s, u"waves"_s});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains(u"--overwrite"_s));
        QCOMPARE(Tool({u"extract"_s, u"--overwrite"_s, u"a.SET"_s, u"waves"_s}).exitCode, 0);
        QCOMPARE(Tool({u"extract"_s, u"a.SET"_s}).exitCode, 2);
        QVERIFY(wave_files::Write(Path(u"tiny.SET"_s), "not a set"));
        const Run tiny = Tool({u"extract"_s, u"tiny.SET"_s, u"tiny"_s});
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

        const Run run = Tool({u"convert"_s, u"one.wav"_s, u"bad.flac"_s, u"two.wav"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"vantrel-set: Could not decode bad.flac as sound: "_s),
                 qPrintable(run.err));
        for (const QString& name : {u"one.wav"_s, u"two.wav"_s}) {
            QCOMPARE(WaveFormat::Examine(Path(u"converted/"_s + name)),
                     WaveFormat::Verdict::Supported);
        }
        QVERIFY(run.out.contains(u"one.wav -> "_s + Path(u"converted/one.wav"_s) + u" (0.50 s)"_s));

        const Run out = Tool({u"convert"_s, u"--out"_s, u"elsewhere"_s, u"two.wav"_s});
        QCOMPARE(out.exitCode, 0);
        QVERIFY(QFileInfo::exists(Path(u"elsewhere/two.wav"_s)));
        QCOMPARE(Tool({u"convert"_s, u"two.wav"_s}).exitCode, 1);
        QCOMPARE(Tool({u"convert"_s}).exitCode, 2);
    }
};

VANTREL_TEST_GUILESS_MAIN(VantrelSetCommandsTest)
#include "test_vantrel_set_commands.moc"
