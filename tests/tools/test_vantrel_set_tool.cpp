#include <sys/stat.h>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "setfile/InfoFile.h"
#include "setfile/SetFileCrc.h"
#include "setfile/SetFileLayout.h"
#include "setfile/SetFileReader.h"
#include "setfile/SetFileWriter.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/ToolRun.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;
using namespace set_file_layout;

namespace {

// A command that blocks (on a pipe, say) fails the test in bounded time.
ToolRun RunTool(const QStringList& arguments, const QString& directory) {
    return RunProgram(QString::fromUtf8(VANTREL_SET_PATH), arguments, directory, 20000);
}

// The set the core writes for these entries, in memory.
QByteArray CoreBuild(const QString& setName, const QList<MessageEntry>& entries) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return SetFileWriter().Write(buffer, setName, entries).Ok() ? bytes : QByteArray();
}

// Whether the reader finds nothing wrong with a set file.
bool Sound(QByteArray file) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<SetFileReader::Report> report = SetFileReader::Read(buffer, nullptr);
    if (report && !report->problems.isEmpty()) {
        qWarning() << report->problems;
    }
    return report && report->Sound();
}

// The file with its CRC recomputed.
QByteArray WithCrc(QByteArray file) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadWrite);
    const quint16 crc = ComputeSetFileCrc(buffer).value_or(0);
    set_file_layout::PutLe16(file.data(), crc);
    return file;
}

QByteArray Ws32(quint32 value) {
    QByteArray bytes(4, '\0');
    set_file_layout::PutWordSwapped32(bytes.data(), value);
    return bytes;
}

}  // namespace

class VantrelSetToolTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_.reset(new QTemporaryDir);
        QVERIFY(dir_->isValid());
    }

    QString Path(const QString& name) const { return dir_->filePath(name); }
    QString Wave(const QString& name, const QByteArray& bytes) {
        return wave_files::Write(Path(name), bytes) ? Path(name) : QString();
    }
    ToolRun Tool(const QStringList& arguments) { return RunTool(arguments, dir_->path()); }

    void help() {
        const ToolRun run = Tool({u"--help"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(u"vantrel-set build [--name SETNAME] OUTPUT WAVE..."_s));
        QVERIFY(run.out.contains(u"vantrel-set inspect SETFILE"_s));
        for (const QStringList& wrong :
             {QStringList{}, QStringList{u"frob"_s}, QStringList{u"build"_s},
              QStringList{u"inspect"_s}, QStringList{u"build"_s, u"--bogus"_s, u"x.SET"_s}}) {
            const ToolRun bad = Tool(wrong);
            QCOMPARE(bad.exitCode, 2);
            QVERIFY(bad.err.startsWith(u"vantrel-set: "_s));
        }
    }

    void buildsTheWorkedExample() {
        const QByteArray waveBytes = wave_files::Make(100000);
        const QString wave = Wave(u"Hello.WAV"_s, waveBytes);
        const ToolRun run = Tool({u"build"_s, u"a.SET"_s, wave});
        QCOMPARE(run.exitCode, 0);
        const QByteArray file = ReadAll(Path(u"a.SET"_s));
        QCOMPARE(file.size(), 106496);
        QCOMPARE(file, CoreBuild(u"a.SET"_s, {{u"hello"_s, 100044, wave}}));

        const ToolRun inspect = Tool({u"inspect"_s, u"a.SET"_s});
        QCOMPARE(inspect.exitCode, 0);
        QVERIFY2(inspect.out.contains(u"Set name: a.SET\n"_s), qPrintable(inspect.out));
        QVERIFY(inspect.out.contains(u"Messages: 1\n"_s));
        QVERIFY(inspect.out.contains(u"     0  hello                        9         50012\n"_s));
        QVERIFY(inspect.out.contains(u"106496 bytes stored, 106496 bytes in the file"_s));
        QVERIFY(inspect.out.contains(u"computed: match"_s));
    }

    void inspectFindsAFlippedByteAndATruncation() {
        const QString wave = Wave(u"m.wav"_s, wave_files::Make(5000));
        QCOMPARE(Tool({u"build"_s, u"--name"_s, u"Other Name"_s, u"x.SET"_s, wave}).exitCode, 0);
        QByteArray file = ReadAll(Path(u"x.SET"_s));
        file[6000] = static_cast<char>(file[6000] ^ 0x10);
        QVERIFY(wave_files::Write(Path(u"flipped.SET"_s), file));
        const ToolRun flipped = Tool({u"inspect"_s, u"flipped.SET"_s});
        QCOMPARE(flipped.exitCode, 1);
        QVERIFY(flipped.out.contains(u"Set name: Other Name\n"_s));
        QVERIFY(flipped.out.contains(u"computed: MISMATCH"_s));
        QVERIFY(flipped.err.contains(u"CRC mismatch"_s));

        QVERIFY(wave_files::Write(Path(u"short.SET"_s), ReadAll(Path(u"x.SET"_s)).left(8192)));
        const ToolRun truncated = Tool({u"inspect"_s, u"short.SET"_s});
        QCOMPARE(truncated.exitCode, 1);
        QVERIFY(truncated.err.contains(u"size mismatch"_s));

        QVERIFY(wave_files::Write(Path(u"tiny.SET"_s), "not a set"));
        const ToolRun tiny = Tool({u"inspect"_s, u"tiny.SET"_s});
        QCOMPARE(tiny.exitCode, 1);
        QVERIFY(tiny.err.contains(u"shorter than the header"_s));
        QCOMPARE(Tool({u"inspect"_s, u"missing.SET"_s}).exitCode, 1);
    }

    void inspectChecksTheLayout() {
        // Wave sizes around the paddings' boundaries and the rounding of the length value.
        QList<MessageEntry> entries;
        for (const qint64 size : {36, 55, 56, 57, 568, 569, 1080, 2 * 81920 + 3}) {
            const QString name = u"w"_s + QString::number(size);
            entries.append(
                {name, quint32(size), Wave(name + u".wav"_s, wave_files::MakeExact(size))});
            QVERIFY(Sound(CoreBuild(u"s"_s, entries)));
            QVERIFY(Sound(CoreBuild(u"s"_s, {entries.constLast()})));
        }
        QVERIFY(Sound(CoreBuild(u"s"_s, {})));

        // Blocks at sectors 9, 10 and 12 (4608, 5120, 6144); the file is 8192 bytes.
        const QByteArray good = CoreBuild(u"s"_s, entries.mid(3, 3));
        QCOMPARE(good.size(), 8192);
        // Each change keeps the size and gets its CRC recomputed: only the layout tells.
        const QList<std::pair<qint64, QByteArray>> changes{
            {kTableOffset + 4, Ws32(3)},         // the second block one sector early
            {kTableOffset + 8, Ws32(13)},        // the third block a sector late
            {4608, Ws32(300)},                   // the first block's length value
            {kTableOffset + 12, Ws32(9)},        // an unused table entry
            {kTotalSizeOffset, Ws32(8191)},      // a total size that is no multiple of 4096
            {4608 + 4, QByteArray(1, '\x02')},   // the block header's mark
            {good.size() - 1, QByteArray("x")},  // the closing padding
        };
        for (const auto& [offset, bytes] : changes) {
            QByteArray changed = good;
            changed.replace(offset, bytes.size(), bytes);
            QVERIFY2(!Sound(WithCrc(changed)), qPrintable(QString::number(offset)));
        }
        QByteArray moved = good;
        moved.replace(kTableOffset + 4, 4, Ws32(3));
        QVERIFY(wave_files::Write(Path(u"moved.SET"_s), WithCrc(moved)));
        const ToolRun run = Tool({u"inspect"_s, u"moved.SET"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(u"computed: match"_s) &&
                     run.out.contains(u"Problem: The length value of message 0"_s),
                 qPrintable(run.out));

        const ToolRun device = Tool({u"inspect"_s, u"/dev/null"_s});
        QCOMPARE(device.exitCode, 1);
        QVERIFY2(
            device.err.contains(u"Not a regular file (a pipe, a device or a folder): /dev/null"_s),
            qPrintable(device.err));
    }

    void buildRefusesBadWaves() {
        const QString good = Wave(u"good.wav"_s, wave_files::Make(100));
        const QString stereo = Wave(u"stereo.wav"_s, wave_files::Make(100, {1, 2, 48000, 4, 16}));
        const QString longName = Wave(u"thirteen-char.wav"_s, wave_files::Make(100));
        const QString tilde = Wave(u"a~b.wav"_s, wave_files::Make(100));
        QVERIFY(wave_files::Write(Path(u"out.SET"_s), "earlier"));
        struct Case {
            QString wave;
            QString expected;
        };
        const QList<Case> cases{
            {stereo, u"The selected file is stereo, 16 bits, 48kHz."_s},
            {longName, u"may not be longer than 16 characters."_s},
            {tilde, u"Messages names may not contain the ~ sign"_s},
            {Path(u"missing.wav"_s), u"Could not read a wave file header from: "_s},
        };
        for (const Case& c : cases) {
            const ToolRun run = Tool({u"build"_s, u"out.SET"_s, good, c.wave});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(c.expected), qPrintable(run.err));
            QCOMPARE(ReadAll(Path(u"out.SET"_s)), QByteArray("earlier"));
        }
        const ToolRun nowhere = Tool({u"build"_s, u"no/such/dir/x.SET"_s, good});
        QCOMPARE(nowhere.exitCode, 1);
        QVERIFY(nowhere.err.contains(u"Could not create file: no/such/dir/x.SET"_s));
    }

    // A pipe named where a wave, an info file, a set file or a sound file is read would block
    // the open until something writes into it: every command refuses it at once instead.
    void refusesWhatIsNotARegularFile() {
        for (const QString& name : {u"pipe.wav"_s, u"pipe.nfo"_s, u"pipe.SET"_s}) {
            QCOMPARE(::mkfifo(QFile::encodeName(Path(name)).constData(), 0600), 0);
        }
        const QString good = Wave(u"good.wav"_s, wave_files::Make(100));
        const QList<QStringList> commands{
            {u"build"_s, u"out.SET"_s, good, u"pipe.wav"_s},
            {u"build"_s, u"--info"_s, u"pipe.nfo"_s, u"out.SET"_s},
            {u"inspect"_s, u"pipe.SET"_s},
            {u"extract"_s, u"pipe.SET"_s, u"waves"_s},
            {u"convert"_s, u"pipe.wav"_s},
        };
        for (const QStringList& command : commands) {
            const ToolRun run = Tool(command);
            QVERIFY2(run.exitCode == 1, qPrintable(command.join(u' ')));
            QVERIFY2(run.err.contains(u"Not a regular file (a pipe, a device or a folder): "_s),
                     qPrintable(run.err));
            QVERIFY(!QFile::exists(Path(u"out.SET"_s)));
        }
    }

    void buildsFromAnInfoFile() {
        const QString first = Wave(u"first.wav"_s, wave_files::Make(3000));
        const QString second = Wave(u"second.wav"_s, wave_files::Make(90000));
        MessageSetModel model;
        model.setName = u"Lobby.SET"_s;
        model.setFilePath = Path(u"Lobby.SET"_s);
        model.entries = {{u"Fire Alarm~1"_s, 3044, first}, {u"evacuate"_s, 90044, second}};
        InfoFile info(u"Vantrel"_s);
        QVERIFY(info.WriteInfoFile(model, Path(u"Lobby.nfo"_s)));

        const ToolRun run = Tool({u"build"_s, u"--info"_s, u"Lobby.nfo"_s, u"rebuilt.SET"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadAll(Path(u"rebuilt.SET"_s)), CoreBuild(u"Lobby.SET"_s, model.entries));

        // A listed wave file that is gone: nothing is built.
        QVERIFY(QFile::remove(second));
        const ToolRun missing = Tool({u"build"_s, u"--info"_s, u"Lobby.nfo"_s, u"partial.SET"_s});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains(u"The wav file '"_s + second + u"' does not exist"_s));
        QVERIFY(!QFile::exists(Path(u"partial.SET"_s)));

        // Another program's info file.
        InfoFile other(u"Other"_s);
        model.entries.removeLast();
        QVERIFY(other.WriteInfoFile(model, Path(u"Other.nfo"_s)));
        const ToolRun foreign = Tool({u"build"_s, u"--info"_s, u"Other.nfo"_s, u"o.SET"_s});
        QCOMPARE(foreign.exitCode, 1);
        QVERIFY(foreign.err.contains(u"was not written by Vantrel"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

VANTREL_TEST_GUILESS_MAIN(VantrelSetToolTest)
#include "test_vantrel_set_tool.moc"
