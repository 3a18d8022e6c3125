#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "setfile/InfoFile.h"
#include "setfile/SetFileCrc.h"
#include "setfile/SetFileWriter.h"
#include "setfile/StoredMessageSet.h"
#include "tests/support/FailingDevice.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;
using Outcome = SetFileWriter::Outcome;

namespace {

quint16 StoredCrc(const QByteArray& file) {
    return static_cast<quint16>(static_cast<uchar>(file[0]) | (static_cast<uchar>(file[1]) << 8));
}

quint16 ReadBackCrc(QByteArray file) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    return ComputeSetFileCrc(buffer).value_or(0);
}

// The four bytes of a word-swapped 32-bit value, written out by hand.
QByteArray Ws32(quint32 v) {
    QByteArray bytes;
    bytes.append(static_cast<char>(v >> 16)).append(static_cast<char>(v >> 24));
    bytes.append(static_cast<char>(v)).append(static_cast<char>(v >> 8));
    return bytes;
}

quint32 Ws32At(const QByteArray& file, qint64 offset) {
    auto b = [&](int i) { return static_cast<quint32>(static_cast<uchar>(file[offset + i])); };
    return (b(0) << 16) | (b(1) << 24) | b(2) | (b(3) << 8);
}

bool AllZero(const QByteArray& file, qint64 from, qint64 to) {
    for (qint64 i = from; i < to; ++i) {
        if (file[i] != '\0') {
            return false;
        }
    }
    return true;
}

}  // namespace

class SetFileWriterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    QString Wave(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        if (!wave_files::Write(path, bytes)) {
            return {};
        }
        return path;
    }

    // Writes into memory; fails the test (returning nothing) unless it succeeds.
    QByteArray Build(const QString& setName, const QList<MessageEntry>& entries) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const SetFileWriter::Result result = SetFileWriter().Write(buffer, setName, entries);
        if (!result.Ok() || result.fileSize != bytes.size() || result.crc != StoredCrc(bytes)) {
            return {};
        }
        return bytes;
    }

    void workedExample() {
        const QByteArray waveBytes = wave_files::Make(100000);
        QCOMPARE(waveBytes.size(), 100044);
        const QString wave = Wave(u"hello.wav"_s, waveBytes);
        const QByteArray file = Build(u"a.SET"_s, {{u"hello"_s, 100044, wave}});
        QCOMPARE(file.size(), 106496);

        // The expected file, spelled out.
        QByteArray expected(4096, '\0');
        expected.replace(4, 4, QByteArray::fromHex("00000900"));  // table entry 0: sector 9
        expected += QByteArray::fromHex("010000A0");              // total size 106496
        expected += QByteArray::fromHex("0100");                  // N
        expected += QByteArray::fromHex("0C00");                  // names length 12
        expected +=
            "\x05"
            "a.SET"
            "\x05"
            "hello";
        QCOMPARE(expected.size(), 4116);
        expected += QByteArray(4608 - 4116, '\0');
        expected += QByteArray::fromHex("00005CC30100") + QByteArray(10, '\0');
        expected += waveBytes.mid(56);
        QCOMPARE(expected.size(), 104612);
        expected += QByteArray(104960 - 104612, '\0');
        expected += QByteArray(106496 - 104960, '\0');

        QCOMPARE(file.mid(2), expected.mid(2));
        QCOMPARE(file.left(2) == QByteArray(2, '\0'), false);
        QCOMPARE(StoredCrc(file), ReadBackCrc(file));
    }

    void emptySet() {
        const QByteArray file = Build(u"s"_s, {});
        QCOMPARE(file.size(), 8192);
        QCOMPARE(file.mid(0x1000, 4), Ws32(8192));
        QCOMPARE(file.mid(0x1004, 6), QByteArray::fromHex("000002000173"));
        QVERIFY(AllZero(file, 4, 0x1000));
        QVERIFY(AllZero(file, 0x100A, 8192));
        QCOMPARE(StoredCrc(file), ReadBackCrc(file));
    }

    void paddingsAreNeverEmpty() {
        // Names end exactly on 4608: 0x1008 + (1 + 200) + (1 + 255) + (1 + 46) = 4608.
        const QString setName(200, u's');
        // A block of exactly 512 bytes (16 + 552 - 56), then blocks that end at 7768: padded to
        // 8192, which is a multiple of 4096 already.
        const QString exact = Wave(u"exact.wav"_s, wave_files::MakeExact(552));
        const QString tail = Wave(u"tail.wav"_s, wave_files::MakeExact(3200 - 512 - 512 + 40));
        const QByteArray file =
            Build(setName, {{QString(255, u'a'), 552, exact}, {QString(46, u'b'), 2216, tail}});
        QVERIFY(!file.isEmpty());
        // A full 512 after the names: the first block at 5120, not 4608.
        QVERIFY(AllZero(file, 4608, 5120));
        QCOMPARE(Ws32At(file, 4), 10u);
        // A full 512 after the 512-byte block.
        QVERIFY(AllZero(file, 5632, 6144));
        QCOMPARE(Ws32At(file, 8), 12u);
        // The second block: 16 + 2216 - 56 = 2176 bytes from 6144 to 8320, then 384 to 8704,
        // then 4096 - 512 = 3584 to 12288.
        QCOMPARE(file.size(), 12288);
        QVERIFY(AllZero(file, 8320, 12288));
        QCOMPARE(Ws32At(file, 0x1000), 12288u);
    }

    void aFullFourKilobytesAtTheEnd() {
        // Header to 4608; block 16 + 3200 - 56 = 3160 to 7768; padding to 8192, a multiple of
        // 4096, so 4096 more.
        const QString wave = Wave(u"w3200.wav"_s, wave_files::MakeExact(3200));
        const QByteArray file = Build(u"a.SET"_s, {{u"m"_s, 3200, wave}});
        QCOMPARE(file.size(), 12288);
        QVERIFY(AllZero(file, 7768, 12288));
    }

    void shortAndOddWaves() {
        // 36 bytes: the length value 8 and no copied bytes. A wave with a chunk before its data
        // is copied from offset 56 all the same.
        const QString tiny = Wave(u"tiny.wav"_s, wave_files::MakeExact(36));
        QByteArray listed = wave_files::Make(300);
        listed.replace(36, 4, "LIST");
        const QString odd = Wave(u"odd.wav"_s, listed);
        const QByteArray file =
            Build(u"x"_s, {{u"tiny"_s, 36, tiny}, {u"odd"_s, 344, odd}, {u"tiny"_s, 36, tiny}});
        QVERIFY(!file.isEmpty());
        QCOMPARE(Ws32At(file, 4), 9u);
        QCOMPARE(file.mid(9 * 512, 16), Ws32(8) + QByteArray::fromHex("0100") + QByteArray(10, 0));
        QVERIFY(AllZero(file, 9 * 512 + 16, 10 * 512));
        QCOMPARE(Ws32At(file, 8), 10u);
        QCOMPARE(Ws32At(file, 10 * 512), (344u - 20) / 2);
        QCOMPARE(file.mid(10 * 512 + 16, 344 - 56), listed.mid(56));
        QCOMPARE(Ws32At(file, 12), 11u);
        QCOMPARE(StoredCrc(file), ReadBackCrc(file));
    }

    void tableFullWithTheLastMessage() {
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(100));
        QList<MessageEntry> entries;
        for (int i = 0; i < 1023; ++i) {
            entries.append({u"m"_s + QString::number(i), 144, wave});
        }
        const QByteArray file = Build(u"full.SET"_s, entries);
        QVERIFY(!file.isEmpty());
        // Names: 1 + 8 + sum of (1 + name length) from 0x1008.
        qint64 names = 9;
        for (const MessageEntry& entry : entries) {
            names += 1 + entry.name.size();
        }
        const qint64 firstSector = (0x1008 + names) / 512 + 1;
        for (int i = 0; i < 1023; ++i) {
            QCOMPARE(Ws32At(file, 4 + 4 * i), quint32(firstSector + i));
        }
        QCOMPARE(file.mid(0x1004, 2), QByteArray::fromHex("FF03"));
        QCOMPARE(StoredCrc(file), ReadBackCrc(file));
    }

    void refusesWhatTheLayoutCannotHold() {
        QList<MessageEntry> entries(1024, MessageEntry{u"m"_s, 36, u"/nowhere.wav"_s});
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        SetFileWriter writer;
        SetFileWriter::Result result = writer.Write(buffer, u"s"_s, entries);
        QCOMPARE(result.outcome, Outcome::TooManyMessages);
        QCOMPARE(result.subject, u"1024"_s);
        entries.resize(2);
        entries[1].name = QString(256, u'n');
        result = writer.Write(buffer, u"s"_s, entries);
        QCOMPARE(result.outcome, Outcome::NameTooLong);
        QCOMPARE(result.subject, entries[1].name);
        result = writer.Write(buffer, QString(128, u'ä'), {});
        QCOMPARE(result.outcome, Outcome::NameTooLong);
        entries = QList<MessageEntry>(300, MessageEntry{QString(255, u'n'), 36, u"/w.wav"_s});
        QCOMPARE(writer.Write(buffer, u"s"_s, entries).outcome, Outcome::NamesTooLong);
        // 4 GB or more by the entries' sizes: refused before a byte is written, whatever the
        // files hold now.
        const QString wave = Wave(u"small.wav"_s, wave_files::Make(10));
        entries = {{u"a"_s, 0x80000000u, wave}, {u"b"_s, 0x7FFFF000u, wave}};
        QCOMPARE(writer.Write(buffer, u"s"_s, entries).outcome, Outcome::SetTooLarge);
        QVERIFY(bytes.isEmpty());
        const QString target = dir_.filePath(u"huge.SET"_s);
        QCOMPARE(writer.WriteFile(target, u"s"_s, entries).outcome, Outcome::SetTooLarge);
        QVERIFY(!QFile::exists(target));
        // The prediction is the size written when the sizes are right; the largest that fits.
        const QString other = Wave(u"other.wav"_s, wave_files::Make(81920 * 3 + 7));
        entries = {{u"a"_s, 54, wave}, {u"bb"_s, 81920 * 3 + 51, other}};
        QCOMPARE(SetFileWriter::PredictedSize(u"s"_s, entries), Build(u"s"_s, entries).size());
        QCOMPARE(SetFileWriter::PredictedSize(u"s"_s, {}), Build(u"s"_s, {}).size());
        QCOMPARE(SetFileWriter::PredictedSize(u"s"_s, {{u"a"_s, 0xFFFFF000u - 8192, wave}}),
                 0xFFFFF000);
    }

    void waveProblems() {
        const QString good = Wave(u"good.wav"_s, wave_files::Make(10));
        const QString shortWave = Wave(u"short.wav"_s, wave_files::MakeExact(35));
        const QString missing = dir_.filePath(u"missing.wav"_s);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        SetFileWriter::Result result =
            SetFileWriter().Write(buffer, u"s"_s, {{u"a"_s, 54, good}, {u"b"_s, 35, shortWave}});
        QCOMPARE(result.outcome, Outcome::WaveTooShort);
        QCOMPARE(result.subject, shortWave);
        buffer.seek(0);
        result = SetFileWriter().Write(buffer, u"s"_s, {{u"a"_s, 54, good}, {u"c"_s, 0, missing}});
        QCOMPARE(result.outcome, Outcome::WaveNotOpened);
        QCOMPARE(result.subject, missing);
        QVERIFY(!result.reason.isEmpty());
    }

    void writeThatFailsPartWay() {
        const QString wave = Wave(u"big.wav"_s, wave_files::Make(300000));
        for (qint64 limit : {0, 100, 5000, 200000, 300000}) {
            FailingDevice device(limit);
            device.open(QIODevice::WriteOnly);
            const SetFileWriter::Result result =
                SetFileWriter().Write(device, u"s"_s, {{u"a"_s, 300044, wave}});
            QCOMPARE(result.outcome, Outcome::WriteFailed);
            QCOMPARE(result.reason, FailingDevice::ErrorText());
        }
    }

    void progressAndCancel() {
        // Three full chunks and a rest in the first wave.
        const QString first = Wave(u"first.wav"_s, wave_files::Make(3 * 81920 + 100));
        const QString second = Wave(u"second.wav"_s, wave_files::Make(81920 + 12));
        FakeProgressFactory factory;
        std::unique_ptr<ProgressSink> progress = factory.Create(u"t"_s);
        int hookCalls = 0;
        SetFileWriter writer(progress.get());
        writer.SetMessagesCopiedHook([&] { ++hookCalls; });
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(writer.Write(buffer, u"s"_s, {{u"a"_s, 0, first}, {u"b"_s, 0, second}}).Ok());
        QCOMPARE(factory.Last().advances, 4);
        QCOMPARE(factory.Last().pumps, 4);
        QCOMPARE(factory.Last().texts, (QStringList{u"Adding: "_s + first, u"Adding: "_s + second,
                                                    u"Calculating CRC value."_s}));
        QCOMPARE(hookCalls, 1);

        factory.CancelAfter(2);
        progress = factory.Create(u"t"_s);
        SetFileWriter cancelling(progress.get());
        cancelling.SetMessagesCopiedHook([&] { ++hookCalls; });
        bytes.clear();
        buffer.seek(0);
        QCOMPARE(
            cancelling.Write(buffer, u"s"_s, {{u"a"_s, 0, first}, {u"b"_s, 0, second}}).outcome,
            Outcome::Cancelled);
        QCOMPARE(factory.Last().advances, 2);
        QCOMPARE(factory.Last().texts, QStringList{u"Adding: "_s + first});
        QCOMPARE(hookCalls, 1);
    }

    void writeFileReplacesOnlyOnSuccess() {
        const QString target = dir_.filePath(u"out.SET"_s);
        QVERIFY(wave_files::Write(target, "earlier set"));
        const QString good = Wave(u"g.wav"_s, wave_files::Make(1000));
        const QString missing = dir_.filePath(u"gone.wav"_s);
        SetFileWriter writer;
        QCOMPARE(
            writer.WriteFile(target, u"s"_s, {{u"a"_s, 0, good}, {u"b"_s, 0, missing}}).outcome,
            Outcome::WaveNotOpened);
        QCOMPARE(ReadAll(target), QByteArray("earlier set"));
        QCOMPARE(QDir(dir_.path()).entryList({u"out.SET*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"out.SET"_s});

        const SetFileWriter::Result result = writer.WriteFile(target, u"s"_s, {{u"a"_s, 0, good}});
        QVERIFY(result.Ok());
        const QByteArray file = ReadAll(target);
        QCOMPARE(file.size(), result.fileSize);
        QCOMPARE(StoredCrc(file), ReadBackCrc(file));

        const QString nowhere = dir_.filePath(u"no/such/folder/x.SET"_s);
        const SetFileWriter::Result failed = writer.WriteFile(nowhere, u"s"_s, {});
        QCOMPARE(failed.outcome, Outcome::CreateFailed);
        QCOMPARE(failed.subject, nowhere);
    }

    // Folders under tests/data/setfile: wave files, the info file that lists them (set.nfo, with
    // paths relative to the folder) and the set file they must give (expected.SET), so that the
    // format is pinned by files anyone can open. The set file read back gives the names and the
    // sound bytes again.
    void goldenFolders_data() {
        QTest::addColumn<QString>("folder");
        const QDir data(qEnvironmentVariable("VANTREL_SOURCE_DIR") + u"/tests/data/setfile"_s);
        const QStringList folders = data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY(folders.size() >= 3);
        for (const QString& folder : folders) {
            QTest::newRow(qPrintable(folder)) << data.filePath(folder);
        }
    }
    void goldenFolders() {
        QFETCH(QString, folder);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        MessageSetModel model;
        InfoFile info(u"Vantrel"_s);
        const bool read = info.ReadInfoFile(model, u"set.nfo"_s);
        QVERIFY(QDir::setCurrent(previous));
        QVERIFY(read);
        QCOMPARE(info.Problems(), QStringList());
        for (MessageEntry& entry : model.entries) {
            entry.path = QDir(folder).filePath(entry.path);
        }

        const QByteArray expected = ReadAll(QDir(folder).filePath(u"expected.SET"_s));
        QByteArray written;
        QBuffer buffer(&written);
        QVERIFY(buffer.open(QIODevice::ReadWrite));
        QVERIFY(SetFileWriter().Write(buffer, model.setName, model.entries).Ok());
        QCOMPARE(written.size(), expected.size());
        QCOMPARE(written, expected);

        QString error;
        const std::optional<StoredMessageSet> stored =
            StoredMessageSet::Open(QDir(folder).filePath(u"expected.SET"_s), &error);
        QVERIFY2(stored.has_value(), qPrintable(error));
        QCOMPARE(stored->SetName(), model.setName);
        QCOMPARE(stored->Messages().size(), model.entries.size());
        for (int i = 0; i < model.entries.size(); ++i) {
            QCOMPARE(stored->Messages().at(i).name, model.entries.at(i).name);
            QByteArray wave;
            QBuffer waveBuffer(&wave);
            QVERIFY(waveBuffer.open(QIODevice::WriteOnly));
            QVERIFY(stored->WriteWave(i, waveBuffer, &error));
            QCOMPARE(wave.mid(56), ReadAll(model.entries.at(i).path).mid(56));
        }
    }

    void crcOfASetLongerThanTheCoverage() {
        // A sparse wave of 135 MB with data at both ends: the file goes past the CRC's coverage.
        const QString path = dir_.filePath(u"huge.wav"_s);
        {
            QFile wave(path);
            QVERIFY(wave.open(QIODevice::WriteOnly));
            QVERIFY(wave.write(wave_files::Make(1000)) == 1044);
            QVERIFY(wave.resize(135'000'000));
            QVERIFY(wave.seek(135'000'000 - 3));
            QVERIFY(wave.write("end") == 3);
        }
        const QString target = dir_.filePath(u"huge.SET"_s);
        const SetFileWriter::Result result =
            SetFileWriter().WriteFile(target, u"huge"_s, {{u"h"_s, 0, path}});
        QVERIFY(result.Ok());
        QVERIFY(result.fileSize > 2 + kSetFileCrcCoverage);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(ComputeSetFileCrc(file, CrcMethod::Fast).value(), result.crc);
        file.close();
        QFile::remove(target);
        QFile::remove(path);
    }

private:
    QTemporaryDir dir_;
};

VANTREL_TEST_GUILESS_MAIN(SetFileWriterTest)
#include "test_set_file_writer.moc"
