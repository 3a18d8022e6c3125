#include <QTest>

#include "ftp/RemoteListParser.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RemoteEntry)

// Real listing lines of Unix-style and DOS-style servers paired with the entries they must give.
class RemoteListParserTest : public QObject {
    Q_OBJECT

private slots:
    void parsesLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint64>("size");
        QTest::addColumn<bool>("directory");

        auto row = [](const char* tag, const QString& line, bool parsed, const QString& name,
                      quint64 size, bool directory) {
            QTest::newRow(tag) << line << parsed << name << size << directory;
        };
        row("unix file", u"-rw-r--r--   1 root     root     67108864 Dec 08 16:15 card"_s, true,
            u"card"_s, 67108864, false);
        row("unix directory", u"drwxr-xr-x   2 root     root         4096 Dec 08 16:15 mmu"_s, true,
            u"mmu"_s, 4096, true);
        row("unix old file with year",
            u"-rw-rw-rw-   1 owner   group    7045120 Sep 02  2019 a.set"_s, true, u"a.set"_s,
            7045120, false);
        row("unix without group", u"-rw-r--r-- 1 ftp 1234 Jan  1 09:05 boot.bin"_s, true,
            u"boot.bin"_s, 1234, false);
        row("unix name with blanks", u"-rw-r--r-- 1 u g 10 Mar 03 10:00 my  message set.set"_s,
            true, u"my  message set.set"_s, 10, false);
        row("unix name looking like a date",
            u"-rw-r--r-- 1 u g 10 Mar 03 10:00 Jan 01 2020 notes"_s, true, u"Jan 01 2020 notes"_s,
            10, false);
        row("unix symbolic link", u"lrwxrwxrwx   1 root root 7 Feb 10 11:12 current -> a.set"_s,
            true, u"current"_s, 7, false);
        row("unix dot", u"drwxr-xr-x   6 root root 4096 Dec  8 16:15 ."_s, true, u"."_s, 4096,
            true);
        row("unix dot dot", u"drwxr-xr-x   6 root root 4096 Dec  8 16:15 .."_s, true, u".."_s, 4096,
            true);
        row("unix 5 GiB", u"-rw-r--r-- 1 u g 5368709121 Dec 08 16:15 huge.img"_s, true,
            u"huge.img"_s, 5368709121ULL, false);
        row("unix iso date", u"-rw-r--r-- 1 u g 42 2024-05-06 07:08 iso.cfg"_s, true, u"iso.cfg"_s,
            42, false);
        row("unix utf-8 name", u"-rw-r--r-- 1 u g 1 Dec 08 16:15 Ansage Übung.wav"_s, true,
            u"Ansage Übung.wav"_s, 1, false);
        row("total line", u"total 108"_s, false, QString(), 0, false);
        row("dos file", u"12-08-24  04:15PM             100000 f1.bin"_s, true, u"f1.bin"_s, 100000,
            false);
        row("dos directory", u"01-15-24  09:30AM       <DIR>          web"_s, true, u"web"_s, 0,
            true);
        row("dos name with blanks", u"01-15-2024  11:59PM   512 old   set.set"_s, true,
            u"old   set.set"_s, 512, false);
        row("dos 4 GiB", u"01-15-24  09:30AM   4294967296 big"_s, true, u"big"_s, 4294967296ULL,
            false);
        row("dos 24-hour clock", u"01-15-24  21:30   77 late.txt"_s, true, u"late.txt"_s, 77,
            false);
        row("empty", QString(), false, QString(), 0, false);
        row("reply text", u"550 No files found."_s, false, QString(), 0, false);
        row("unix without a date", u"-rw-r--r-- 1 u g 10 name"_s, false, QString(), 0, false);
    }

    void parsesLine() {
        QFETCH(QString, line);
        QFETCH(bool, parsed);
        const std::optional<RemoteEntry> entry = RemoteListParser::ParseLine(line);
        QCOMPARE(entry.has_value(), parsed);
        if (parsed) {
            QTEST(entry->name, "name");
            QTEST(entry->size, "size");
            QTEST(entry->isDirectory, "directory");
        }
    }

    void parsesWholeListing() {
        const QByteArray listing =
            "total 12\r\n"
            "drwxr-xr-x   2 root root 4096 Dec 08 16:15 .\r\n"
            "-rw-r--r--   1 root root 3 Dec 08 16:15 a b\r\n"
            "12-08-24  04:15PM       <DIR>          dosdir\n"
            "garbage line\r\n"
            "-rw-r--r--   1 root root 0 Dec 08 16:15 last";  // no line end
        const QList<RemoteEntry> entries = RemoteListParser::Parse(listing);
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0], (RemoteEntry{u"."_s, 4096, true}));
        QCOMPARE(entries[1], (RemoteEntry{u"a b"_s, 3, false}));
        QCOMPARE(entries[2], (RemoteEntry{u"dosdir"_s, 0, true}));
        QCOMPARE(entries[3], (RemoteEntry{u"last"_s, 0, false}));
        QVERIFY(RemoteListParser::Parse(QByteArray()).isEmpty());
    }
};

VANTREL_TEST_GUILESS_MAIN(RemoteListParserTest)
#include "test_remote_list_parser.moc"
