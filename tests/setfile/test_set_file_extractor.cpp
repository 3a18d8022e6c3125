#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "audio/WaveFormat.h"
#include "audio/WaveHeader.h"
#include "messageset/SetExtractionFlow.h"
#include "setfile/InfoFile.h"
#include "setfile/SetFileExtractor.h"
#include "setfile/SetFileWriter.h"
#include "setfile/StoredMessageSet.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

namespace {

const QString kProgram = u"Vantrel"_s;

// Sizes of odd and even waves, around the 36, 44 and 56 bytes that matter to the layout.
QList<qint64> FortySizes() {
    QList<qint64> sizes{36, 37, 44, 55, 56, 57, 58, 101, 1000, 1001};
    for (int i = sizes.size(); i < 40; ++i) {
        sizes << 44 + (i * 7919) % 20000;
    }
    return sizes;
}

// Names that need care as file names: a separator, an empty name, two that differ in case only.
QString NameOf(int index) {
    switch (index) {
        case 5:
            return u"a/b"_s;
        case 6:
            return QString();
        case 7:
        case 8:
            return index == 7 ? u"Dup"_s : u"dup"_s;
        default:
            return u"m%1"_s.arg(index);
    }
}

bool Flip(const QString& path, qint64 offset) {
    QFile file(path);
    char byte = 0;
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.getChar(&byte) &&
           file.seek(offset) && file.putChar(static_cast<char>(byte ^ 0x5A));
}

}  // namespace

class SetFileExtractorTest : public QObject {
    Q_OBJECT

private:
    QString Path(const QString& name) const { return dir_->filePath(name); }

    // A set built by our own writer from waves of the given sizes; their bytes in *waves.
    QString BuildSet(const QList<qint64>& sizes, QList<QByteArray>* waves = nullptr) {
        QList<MessageEntry> entries;
        QDir().mkpath(Path(u"src"_s));
        for (int i = 0; i < sizes.size(); ++i) {
            const QByteArray bytes = wave_files::MakeExact(sizes.at(i));
            const QString path = Path(u"src/w%1.wav"_s.arg(i));
            if (!wave_files::Write(path, bytes)) {
                return QString();
            }
            entries.append({NameOf(i), static_cast<quint32>(bytes.size()), path});
            if (waves != nullptr) {
                waves->append(bytes);
            }
        }
        const QString setPath = Path(u"lobby.SET"_s);
        return SetFileWriter().WriteFile(setPath, u"lobby.SET"_s, entries).Ok() ? setPath
                                                                                : QString();
    }

    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void readsExtractsAndRebuildsIdentically_data() {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::newRow("no message") << QList<qint64>{};
        QTest::newRow("one, even") << QList<qint64>{100044};
        QTest::newRow("one, odd") << QList<qint64>{100045};
        QTest::newRow("forty") << FortySizes();
    }
    void readsExtractsAndRebuildsIdentically() {
        QFETCH(QList<qint64>, sizes);
        QList<QByteArray> waves;
        const QString setPath = BuildSet(sizes, &waves);
        QVERIFY(!setPath.isEmpty());

        QString error;
        const std::optional<StoredMessageSet> set = StoredMessageSet::Open(setPath, &error);
        QVERIFY2(set, qPrintable(error));
        QCOMPARE(set->SetName(), u"lobby.SET"_s);
        QVERIFY(set->CrcMatches());
        QCOMPARE(set->Warnings(), QStringList());
        QCOMPARE(set->Messages().size(), sizes.size());
        for (int i = 0; i < sizes.size(); ++i) {
            const StoredMessageSet::Message& message = set->Messages().at(i);
            QCOMPARE(message.name, NameOf(i));
            // An odd wave whose last byte is zero or not kept reads as one byte shorter; it
            // rebuilds the same.
            if (sizes.at(i) % 2 == 0 || (sizes.at(i) > 56 && waves.at(i).back() != '\0')) {
                QCOMPARE(message.waveSize, sizes.at(i));
            } else {
                QCOMPARE(message.waveSize, sizes.at(i) - 1);
            }
        }

        const QString infoPath = InfoFile::PathForSetFile(setPath);
        const SetFileExtractor::Result result =
            SetFileExtractor(kProgram).Extract(setPath, Path(u"out"_s), infoPath);
        QVERIFY2(result.Ok(), qPrintable(result.reason));
        QCOMPARE(result.waveFiles.size(), sizes.size());
        QCOMPARE(QSet<QString>(result.waveFiles.begin(), result.waveFiles.end()).size(),
                 sizes.size());
        for (int i = 0; i < sizes.size(); ++i) {
            const QByteArray wave = ReadAll(result.waveFiles.at(i));
            const QByteArray& original = waves.at(i);
            QCOMPARE(wave.size(), set->Messages().at(i).waveSize);
            QCOMPARE(WaveFormat::Examine(result.waveFiles.at(i)), WaveFormat::Verdict::Supported);
            QCOMPARE(wave.left(44), wave_header::MonoPcm16(wave.size() - 44).left(wave.size()));
            QCOMPARE(wave.mid(44, 12),
                     QByteArray(qBound(qsizetype(0), wave.size() - 44, qsizetype(12)), 0));
            QCOMPARE(wave.mid(56), original.mid(56, wave.size() - 56));
        }

        MessageSetModel model;
        InfoFile info(kProgram);
        QVERIFY(info.ReadInfoFile(model, infoPath));
        QCOMPARE(info.Problems(), QStringList());
        QCOMPARE(model.entries.size(), sizes.size());
        const QString rebuilt = Path(u"rebuilt.SET"_s);
        QVERIFY(SetFileWriter().WriteFile(rebuilt, model.setName, model.entries).Ok());
        QCOMPARE(ReadAll(rebuilt), ReadAll(setPath));
    }

    void extractsADamagedSetWithWarnings() {
        QList<QByteArray> waves;
        const QString setPath = BuildSet({3000, 3000, 3000}, &waves);
        QVERIFY(!setPath.isEmpty());
        const std::optional<StoredMessageSet> sound = StoredMessageSet::Open(setPath, nullptr);
        QVERIFY(sound);
        const qint64 flipped = sound->Messages().at(1).keptOffset + 100;
        QVERIFY(Flip(setPath, flipped));

        const std::optional<StoredMessageSet> set = StoredMessageSet::Open(setPath, nullptr);
        QVERIFY(set);
        QVERIFY(!set->CrcMatches());
        const QString mismatch = u"CRC mismatch: stored 0x%1, computed 0x%2"_s
                                     .arg(set->Report().storedCrc, 4, 16, QChar(u'0'))
                                     .arg(set->Report().computedCrc, 4, 16, QChar(u'0'));
        QCOMPARE(set->CrcStatusText(), mismatch);
        const SetFileExtractor::Result result = SetFileExtractor(kProgram).Extract(
            setPath, Path(u"out"_s), InfoFile::PathForSetFile(setPath));
        QVERIFY(result.Ok());
        QCOMPARE(result.warnings, QStringList{mismatch + u"."_s});
        QCOMPARE(ReadAll(result.waveFiles.at(1)).at(156), static_cast<char>(waves[1][156] ^ 0x5A));

        // Cut inside the last message: it comes out shorter, with a warning.
        QVERIFY(QFile::resize(setPath, sound->Messages().at(2).keptOffset + 1000));
        const std::optional<StoredMessageSet> cut = StoredMessageSet::Open(setPath, nullptr);
        QVERIFY(cut);
        QVERIFY(cut->Messages().at(2).cut);
        QCOMPARE(cut->Messages().at(2).waveSize, 3000);
        QVERIFY(cut->Warnings().join(u'\n').contains(u"Message 2 (m2) is cut short"_s));
        QCOMPARE(cut->Wave(2, nullptr)->size(), 56 + 1000);

        // Cut before the last block: that message is left out of the waves and the info file.
        QVERIFY(QFile::resize(setPath, sound->Messages().at(2).keptOffset - 100));
        const SetFileExtractor::Result partial =
            SetFileExtractor(kProgram).Extract(setPath, Path(u"out2"_s), Path(u"out2/lobby.nfo"_s));
        QVERIFY(partial.Ok());
        QCOMPARE(partial.waveFiles.size(), 2);
        QVERIFY(partial.warnings.join(u'\n').contains(u"Message 2 (m2) lies beyond the end"_s));
        QString error;
        QVERIFY(!StoredMessageSet::Open(setPath, nullptr)->Wave(2, &error));
        QVERIFY(error.contains(u"Message 2"_s));
    }

    void writesOverNothingWithoutPermission() {
        const QString setPath = BuildSet({500, 600});
        QVERIFY(!setPath.isEmpty());
        const QString infoPath = InfoFile::PathForSetFile(setPath);
        const SetFileExtractor extractor(kProgram);
        const SetFileExtractor::Result first = extractor.Extract(setPath, Path(u"out"_s), infoPath);
        QVERIFY(first.Ok());
        QVERIFY(wave_files::Write(first.waveFiles.at(0), "keep"));

        const SetFileExtractor::Result again = extractor.Extract(setPath, Path(u"out"_s), infoPath);
        QCOMPARE(again.outcome, SetFileExtractor::Outcome::TargetsExist);
        QCOMPARE(again.existing, first.waveFiles + QStringList{infoPath});
        QCOMPARE(ReadAll(first.waveFiles.at(0)), QByteArray("keep"));

        QVERIFY(extractor.Extract(setPath, Path(u"out"_s), infoPath, true).Ok());
        QCOMPARE(ReadAll(first.waveFiles.at(0)).size(), 500);
    }

    void playsAMessageFromATemporaryFile() {
        const QString setPath = BuildSet({2000});
        const std::optional<StoredMessageSet> set = StoredMessageSet::Open(setPath, nullptr);
        QVERIFY(set);
        QString path;
        {
            const std::unique_ptr<QTemporaryFile> file = set->WaveInTemporaryFile(0, nullptr);
            QVERIFY(file);
            path = file->fileName();
            QVERIFY(path.endsWith(u".wav"_s));
            QCOMPARE(ReadAll(path), *set->Wave(0, nullptr));
            QCOMPARE(WaveFormat::Examine(path), WaveFormat::Verdict::Supported);
        }
        QVERIFY(!QFile::exists(path));
        QString error;
        QVERIFY(!StoredMessageSet::Open(Path(u"missing.SET"_s), &error));
        QVERIFY(error.contains(u"missing.SET"_s));
    }

    // The page's words for a failed extraction, and its list of the files in the way.
    void extractionFlowTexts() {
        using Outcome = SetFileExtractor::Outcome;
        SetFileExtractor::Result result;
        result.subject = u"/x/a.wav"_s;
        result.reason = u"Disk full"_s;
        result.outcome = Outcome::WaveNotWritten;
        QCOMPARE(SetExtractionFlow::FailureText(result),
                 u"Could not write file: /x/a.wav\nDisk full"_s);
        result.outcome = Outcome::FolderNotCreated;
        QCOMPARE(SetExtractionFlow::FailureText(result), u"Could not create folder: /x/a.wav"_s);
        result.outcome = Outcome::InfoFileNotWritten;
        result.reason.clear();
        QCOMPARE(SetExtractionFlow::FailureText(result), u"File could not be opened '/x/a.wav'"_s);

        QStringList files;
        for (int i = 0; i < SetExtractionFlow::kListedFiles + 3; ++i) {
            files << u"f%1"_s.arg(i);
        }
        const QStringList lines = SetExtractionFlow::FileList(files).split(u'\n');
        QCOMPARE(lines.size(), SetExtractionFlow::kListedFiles + 1);
        QCOMPARE(lines.last(), u"and 3 more"_s);
        QCOMPARE(SetExtractionFlow::FileList(files.first(2)), u"f0\nf1"_s);
    }
};

VANTREL_TEST_GUILESS_MAIN(SetFileExtractorTest)
#include "test_set_file_extractor.moc"
