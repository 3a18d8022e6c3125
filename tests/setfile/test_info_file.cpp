#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "setfile/InfoFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

namespace {

// The non-blank lines of a file, without their line ends.
QStringList Lines(const QString& path) {
    QStringList lines;
    for (const QByteArray& line : ReadAll(path).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty()) {
            lines << QString::fromUtf8(trimmed);
        }
    }
    return lines;
}

}  // namespace

class InfoFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void writesTheDocumentedLines() {
        MessageSetModel model;
        model.setFilePath = u"C:\\Sets\\Lobby.SET"_s;
        model.setName = u"Lobby.SET"_s;
        model.entries.append({u"fire alarm"_s, 1000, u"c:\\wav\\fire alarm.wav"_s});
        model.entries.append({u"evacuate"_s, 2000, u"c:\\wav\\evacuate.wav"_s});
        const QString path = dir_.filePath(u"Lobby.nfo"_s);
        QVERIFY(info_.WriteInfoFile(model, path));
        QCOMPARE(Lines(path), (QStringList{
                                  u"[Vantrel Version Info]"_s,
                                  u"AppName=Vantrel"_s,
                                  u"[Message Set]"_s,
                                  u"FileName=C:\\Sets\\Lobby.SET"_s,
                                  u"Name=Lobby.SET"_s,
                                  u"Number=2"_s,
                                  u"[Messages]"_s,
                                  u"Filename0=c:\\wav\\fire alarm.wav"_s,
                                  u"Name0=fire alarm"_s,
                                  u"Filename1=c:\\wav\\evacuate.wav"_s,
                                  u"Name1=evacuate"_s,
                              }));
        QVERIFY(info_.Problems().isEmpty());
    }

    void writingEmptiesAnEarlierFile() {
        const QString path = dir_.filePath(u"empty.nfo"_s);
        QVERIFY(wave_files::Write(path, "[Messages]\r\nFilename0=/old.wav\r\n[Other]\r\nx=1\r\n"));
        MessageSetModel model;
        QVERIFY(info_.WriteInfoFile(model, path));
        QCOMPARE(Lines(path),
                 (QStringList{u"[Vantrel Version Info]"_s, u"AppName=Vantrel"_s, u"[Message Set]"_s,
                              u"FileName="_s, u"Name="_s, u"Number=0"_s}));
    }

    void writeToAFolderThatDoesNotExist() {
        const QString path = dir_.filePath(u"missing/x.nfo"_s);
        MessageSetModel model;
        QVERIFY(!info_.WriteInfoFile(model, path));
        QCOMPARE(info_.Problems(), QStringList{u"File could not be opened '"_s + path + u"'"_s});
        QVERIFY(!QFile::exists(path));
    }

#ifdef Q_OS_UNIX
    void writeThatFailsPartWay() {
        MessageSetModel model;
        model.setName = u"big.SET"_s;
        for (int i = 0; i < 40; ++i) {
            model.entries.append(
                {u"m"_s + QString::number(i), 10,
                 u"/a/rather/long/path/to/a/wave/file/number/"_s + QString::number(i) + u".wav"_s});
        }
        const QString path = dir_.filePath(u"limited.nfo"_s);
        bool written = false;
        {
            // Writes beyond 1000 bytes fail with EFBIG.
            const test_files::FileSizeLimit limit(1000);
            QVERIFY(limit.IsActive());
            written = info_.WriteInfoFile(model, path);
        }

        QVERIFY(!written);
        QCOMPARE(info_.Problems().size(), 1);
        QVERIFY2(info_.Problems().at(0).contains(u"large"_s, Qt::CaseInsensitive),
                 qPrintable(info_.Problems().at(0)));
        // No half-written list that could be read back as the whole set.
        QCOMPARE(QFileInfo(path).size(), 0);
    }
#endif

    void roundTrip() {
        const QString first = dir_.filePath(u"one.wav"_s);
        const QString second = dir_.filePath(u"Two Words.wav"_s);
        QVERIFY(wave_files::Write(first, wave_files::Make(100)));
        QVERIFY(wave_files::Write(second, wave_files::Make(5000)));
        MessageSetModel model;
        model.setFilePath = dir_.filePath(u"Round.SET"_s);
        model.setName = u"Round.SET"_s;
        model.entries.append({u"one"_s, 144, first});
        model.entries.append({u"two words"_s, 5044, second});
        model.entries.append({u"one again"_s, 144, first});
        const QString path = InfoFile::PathForSetFile(model.setFilePath);
        QCOMPARE(path, dir_.filePath(u"Round.nfo"_s));
        QVERIFY(info_.WriteInfoFile(model, path));

        MessageSetModel read;
        QVERIFY(info_.ReadInfoFile(read, path));
        QCOMPARE(read.setFilePath, model.setFilePath);
        QCOMPARE(read.setName, model.setName);
        QCOMPARE(read.entries, model.entries);
        QVERIFY(!read.changed);
        QVERIFY(info_.Problems().isEmpty());
    }

    void fullSetRoundTrip() {
        const QString wave = dir_.filePath(u"w.wav"_s);
        QVERIFY(wave_files::Write(wave, wave_files::Make(2)));
        MessageSetModel model;
        model.setName = u"full.SET"_s;
        for (int i = 0; i < MessageSetModel::kMaxMessages; ++i) {
            model.entries.append({u"message "_s + QString::number(i), 46, wave});
        }
        const QString path = dir_.filePath(u"full.nfo"_s);
        QVERIFY(info_.WriteInfoFile(model, path));
        MessageSetModel read;
        QVERIFY(info_.ReadInfoFile(read, path));
        QCOMPARE(read.entries, model.entries);
    }

    void readOfAMissingFileLeavesTheModel() {
        MessageSetModel model;
        model.setName = u"keep"_s;
        model.entries.append({u"x"_s, 1, u"/x.wav"_s});
        const MessageSetModel before = model;
        const QString path = dir_.filePath(u"nothing.nfo"_s);
        QVERIFY(!info_.ReadInfoFile(model, path));
        QCOMPARE(info_.Problems(), QStringList{u"File could not be opened or found: "_s + path});
        QCOMPARE(model.setName, before.setName);
        QCOMPARE(model.entries, before.entries);
    }

    void readSkipsMissingWavesAndKeys() {
        const QString a = dir_.filePath(u"a.wav"_s);
        const QString c = dir_.filePath(u"c.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        QVERIFY(wave_files::Write(c, wave_files::Make(20)));
        const QString missing = dir_.filePath(u"b.wav"_s);
        const QString path = dir_.filePath(u"skip.nfo"_s);
        // LF line ends and blank lines, as an editor might leave them.
        const QString text =
            u"[Vantrel Version Info]\nAppName=Vantrel\n\n[Message Set]\n"
            "FileName=/sets/skip.SET\nName=skip.SET\nNumber=5\n\n[Messages]\n"
            "Filename0=%1\nName0=alpha\nFilename1=%2\nName1=beta\n"
            "Filename2=%3\nName3=orphan\nFilename4=\nName4=empty\n"_s.arg(a, missing, c);
        QVERIFY(wave_files::Write(path, text.toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QCOMPARE(info_.Problems(),
                 QStringList{u"The wav file '"_s + missing +
                             u"' does not exist\n and will be removed from the 'info' file"_s});
        QCOMPARE(model.entries.size(), 2);
        QCOMPARE(model.entries.at(0), (MessageEntry{u"alpha"_s, 54, a}));
        // Name2 is missing: the entry loads with an empty name.
        QCOMPARE(model.entries.at(1), (MessageEntry{QString(), 64, c}));
        QCOMPARE(model.setName, u"skip.SET"_s);
        QCOMPARE(model.setFilePath, u"/sets/skip.SET"_s);
    }

    void readOfAnotherProgramsFile() {
        const QString a = dir_.filePath(u"a.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        const QString path = dir_.filePath(u"other.nfo"_s);
        QVERIFY(wave_files::Write(path,
                                  u"[Vantrel Version Info]\r\nAppName=vantrel\r\n"
                                  "[Message Set]\r\nFileName=/s/o.SET\r\nName=o.SET\r\n"
                                  "Number=1\r\n[Messages]\r\nFilename0=%1\r\nName0=a\r\n"_s.arg(a)
                                      .toUtf8()));
        MessageSetModel model;
        model.setName = u"previous"_s;
        model.setFilePath = u"/previous.SET"_s;
        QVERIFY(!info_.ReadInfoFile(model, path));
        QCOMPARE(model.entries.size(), 1);
        QVERIFY(model.setName.isEmpty());
        QVERIFY(model.setFilePath.isEmpty());
        QVERIFY(info_.Problems().isEmpty());
    }

    void readOfANegativeNumber() {
        const QString a = dir_.filePath(u"a.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        const QString path = dir_.filePath(u"negative.nfo"_s);
        QVERIFY(wave_files::Write(path,
                                  u"[Vantrel Version Info]\nAppName=Vantrel\n[Message Set]\n"
                                  "Number=-1\n[Messages]\nFilename0=%1\nName0=a\n"_s.arg(a)
                                      .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QVERIFY(model.entries.isEmpty());
        // Empty values keep what the model had.
        QVERIFY(model.setName.isEmpty());
    }

    void readOfAHugeNumberAndNamesInAnyCase() {
        const QString a = dir_.filePath(u"a.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        const QString path = dir_.filePath(u"huge.nfo"_s);
        // Looks up only the indices the file holds; section and key names match in any case.
        QVERIFY(wave_files::Write(path,
                                  u"[VANTREL version info]\nappname=Vantrel\n[message set]\n"
                                  "NUMBER=2000000000\n[Messages]\nfilename0=%1\nName0=a\n"
                                  "FILENAME7=%1\nName7=b\n"_s.arg(a)
                                      .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QCOMPARE(model.entries.size(), 2);
        QCOMPARE(model.entries.at(1).name, u"b"_s);
    }

    void workIsBoundedByTheKeysTheFileHolds() {
        const QString a = dir_.filePath(u"a.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        const QString path = dir_.filePath(u"bound.nfo"_s);
        // "Filename01" is not the key of index 1, and index 2000000000 is beyond the count.
        QVERIFY(wave_files::Write(path,
                                  u"[Vantrel Version Info]\nAppName=Vantrel\n[Message Set]\n"
                                  "Number=2000000000\n[Messages]\nFilename1999999999=%1\n"
                                  "Filename01=%1\nFilename2000000000=%1\n"_s.arg(a)
                                      .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QCOMPARE(model.entries.size(), 1);
    }

    void wavePathsInFullFromTheFirstMessagesSection() {
        // A path longer than the 259 bytes other values are cut to.
        QString folder = dir_.path();
        while (folder.size() < 300) {
            folder += u"/a-rather-long-folder-name"_s;
        }
        QVERIFY(QDir().mkpath(folder));
        const QString wave = folder + u"/deep.wav"_s;
        QVERIFY(wave_files::Write(wave, wave_files::Make(10)));
        const QString path = dir_.filePath(u"deep.nfo"_s);
        QVERIFY(wave_files::Write(path,
                                  u"[Vantrel Version Info]\nAppName=Vantrel\n[Message Set]\n"
                                  "Number=2\n[Messages]\nFilename0=%1\nName0=deep\n"
                                  "[messages]\nFilename1=%1\nName0=other\n"_s.arg(wave)
                                      .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QCOMPARE(model.entries, (QList<MessageEntry>{{u"deep"_s, 54, wave}}));
        QVERIFY(info_.Problems().isEmpty());
    }

#ifdef Q_OS_UNIX
    void aPipeIsReportedAndNotOpened() {
        const QString pipe = dir_.filePath(u"pipe.wav"_s);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString path = dir_.filePath(u"pipe.nfo"_s);
        QVERIFY(wave_files::Write(path,
                                  u"[Vantrel Version Info]\nAppName=Vantrel\n[Message Set]\n"
                                  "Number=1\n[Messages]\nFilename0=%1\n"_s.arg(pipe)
                                      .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QVERIFY(model.entries.isEmpty());
        QCOMPARE(info_.Problems().size(), 1);
    }
#endif

    void longValuesAreCutAndLoadedAsTheyAre() {
        const QString a = dir_.filePath(u"a.wav"_s);
        QVERIFY(wave_files::Write(a, wave_files::Make(10)));
        const QString longName = QString(300, u'n') + u"~"_s;
        const QString path = dir_.filePath(u"long.nfo"_s);
        QVERIFY(wave_files::Write(
            path,
            u"[Vantrel Version Info]\nAppName=Vantrel\n[Message Set]\n"
            "Name=%2\nNumber=1\n[Messages]\nFilename0=%1\nName0=%2\n"_s.arg(a, longName)
                .toUtf8()));
        MessageSetModel model;
        QVERIFY(info_.ReadInfoFile(model, path));
        QCOMPARE(model.setName, QString(259, u'n'));
        QCOMPARE(model.entries.size(), 1);
        QCOMPARE(model.entries.at(0).name, QString(259, u'n'));
    }

private:
    QTemporaryDir dir_;
    InfoFile info_{u"Vantrel"_s};
};

VANTREL_TEST_GUILESS_MAIN(InfoFileTest)
#include "test_info_file.moc"
