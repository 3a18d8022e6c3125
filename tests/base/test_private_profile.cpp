// The profile layer against files written the way the original platform writes and reads them.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "base/PrivateProfile.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestPrivateProfile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }
    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    static QByteArray ReadBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void missingFileGivesDefaultsAndWriteCreatesIt() {
        const QString path = Path(u"missing/../fresh.ini"_s);
        QCOMPARE(PrivateProfile::ReadString(path, u"Login"_s, u"User Name"_s, u"none"_s),
                 u"none"_s);
        QCOMPARE(PrivateProfile::ReadInt(path, u"Login"_s, u"IP0"_s, 7), 7);
        QVERIFY(!QFile::exists(Path(u"fresh.ini"_s)));

        QVERIFY(PrivateProfile::WriteString(Path(u"fresh.ini"_s), u"Login"_s, u"IP0"_s, u"10"_s));
        QCOMPARE(ReadBytes(Path(u"fresh.ini"_s)), "[Login]\r\nIP0=10\r\n");
    }

    // The info file of a saved set, written key by key, is the exact text the original writes.
    void writesInfoFileByteForByte() {
        const QString path = Path(u"Lobby.nfo"_s);
        const QList<std::array<QString, 3>> writes = {
            {u"Vantrel Version Info"_s, u"AppName"_s, u"Vantrel"_s},
            {u"Message Set"_s, u"FileName"_s, u"C:\\Sets\\Lobby.SET"_s},
            {u"Message Set"_s, u"Name"_s, u"Lobby.SET"_s},
            {u"Message Set"_s, u"Number"_s, u"2"_s},
            {u"Messages"_s, u"Filename0"_s, u"c:\\wav\\fire alarm.wav"_s},
            {u"Messages"_s, u"Name0"_s, u"fire alarm"_s},
            {u"Messages"_s, u"Filename1"_s, u"c:\\wav\\evacuate.wav"_s},
            {u"Messages"_s, u"Name1"_s, u"evacuate"_s},
        };
        for (const auto& [section, key, value] : writes) {
            QVERIFY(PrivateProfile::WriteString(path, section, key, value));
        }
        const QByteArray text = ReadBytes(path);
        QList<QByteArray> lines = text.split('\n');
        QList<QByteArray> nonBlank;
        for (QByteArray& line : lines) {
            QVERIFY2(line.isEmpty() || line.endsWith('\r'), line.constData());
            line.chop(line.endsWith('\r') ? 1 : 0);
            if (!line.isEmpty()) {
                nonBlank << line;
            }
        }
        const QList<QByteArray> expected = {
            "[Vantrel Version Info]",
            "AppName=Vantrel",
            "[Message Set]",
            "FileName=C:\\Sets\\Lobby.SET",
            "Name=Lobby.SET",
            "Number=2",
            "[Messages]",
            "Filename0=c:\\wav\\fire alarm.wav",
            "Name0=fire alarm",
            "Filename1=c:\\wav\\evacuate.wav",
            "Name1=evacuate",
        };
        QCOMPARE(nonBlank, expected);
    }

    void writeKeepsEverythingElseAndReplacesInPlace() {
        const QString path = Path(u"keep.ini"_s);
        WriteBytes(path,
                   "; kept comment\r\n[Web]\r\nDir=rfa\r\nRoot Direotory=Web\r\n[Ftp]\r\n"
                   "Ascii=asp;js\r\n[web]\r\nDir=repeated\r\n");
        QVERIFY(PrivateProfile::WriteString(path, u"web"_s, u"ROOT DIREOTORY"_s, u"site"_s));
        QVERIFY(PrivateProfile::WriteString(path, u"Web"_s, u"Extension"_s, u"htm;gif"_s));
        QVERIFY(PrivateProfile::WriteString(path, u"Upload"_s, u"Dir"_s, u"d:\\tools\\target"_s));
        const QByteArray text = ReadBytes(path);
        QVERIFY(text.contains("; kept comment"));
        // The key keeps its spelling and place; the new key ends its section; new section at end.
        QVERIFY(text.contains("[Web]\r\nDir=rfa\r\nRoot Direotory=site\r\nExtension=htm;gif\r\n"));
        QVERIFY(text.indexOf("[Ftp]") < text.indexOf("[Upload]"));
        QVERIFY(text.contains("Ascii=asp;js"));
        QVERIFY(text.contains("[Upload]\r\nDir=d:\\tools\\target\r\n"));
        // A repeated section is neither merged nor lost.
        QVERIFY(text.contains("[web]\r\nDir=repeated\r\n"));
        QCOMPARE(PrivateProfile::ReadString(path, u"Web"_s, u"Dir"_s, {}), u"rfa"_s);

        // A key written twice is read from its first place, before and after a write of another
        // key; a write of the key itself leaves it once, with the new value.
        WriteBytes(path, "[A]\r\nKey=1\r\nOther=x\r\nKey=2\r\n");
        QVERIFY(PrivateProfile::WriteString(path, u"A"_s, u"New"_s, u"n"_s));
        QCOMPARE(PrivateProfile::ReadString(path, u"A"_s, u"Key"_s, {}), u"1"_s);
        QCOMPARE(PrivateProfile::ReadKeys(path, u"A"_s),
                 (QStringList{u"Key"_s, u"Other"_s, u"New"_s}));
        QVERIFY(PrivateProfile::WriteString(path, u"A"_s, u"Key"_s, u"3"_s));
        QCOMPARE(ReadBytes(path), "[A]\r\nKey=3\r\nOther=x\r\nNew=n\r\n");

        // Zero bytes (as a crash can leave in a file) hide what follows them; a write keeps it.
        const QByteArray hidden("\0\0[Login]\r\nIP0=10\r\n", 19);
        WriteBytes(path, "[Login]\r\nIP1=1\r\n" + hidden);
        QVERIFY(PrivateProfile::WriteString(path, u"Login"_s, u"IP2"_s, u"2"_s));
        QCOMPARE(ReadBytes(path), "[Login]\r\nIP1=1\r\nIP2=2\r\n" + hidden);
    }

    void readsLikeThePlatform_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("bufferSize");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lf line ends") << QByteArray("[Login]\nUser Name=admin\n") << u"Login"_s
                                      << u"User Name"_s << 260 << u"admin"_s;
        QTest::newRow("crlf line ends") << QByteArray("[Login]\r\nUser Name=admin\r\n")
                                        << u"Login"_s << u"User Name"_s << 260 << u"admin"_s;
        QTest::newRow("names without case")
            << QByteArray("[MESSAGE SET]\r\nlast dir=/home/a b\r\n") << u"Message Set"_s
            << u"Last Dir"_s << 260 << u"/home/a b"_s;
        QTest::newRow("blanks around value") << QByteArray("[A]\r\nKey =  two words  \r\n")
                                             << u"A"_s << u"Key"_s << 260 << u"two words"_s;
        QTest::newRow("quotes removed") << QByteArray("[A]\r\nKey=\" padded \"\r\n") << u"A"_s
                                        << u"Key"_s << 260 << u" padded "_s;
        QTest::newRow("backslashes kept")
            << QByteArray("[Configuration]\r\nDir=rfa\\cfg\\def\r\n") << u"Configuration"_s
            << u"Dir"_s << 260 << u"rfa\\cfg\\def"_s;
        QTest::newRow("cut to buffer")
            << QByteArray("[A]\r\nKey=abcdefghij\r\n") << u"A"_s << u"Key"_s << 5 << u"abcd"_s;
        QTest::newRow("cut to 259") << (QByteArray("[A]\r\nKey=") + QByteArray(300, 'x') + "\r\n")
                                    << u"A"_s << u"Key"_s << 260 << QString(259, u'x');
        QTest::newRow("empty value")
            << QByteArray("[A]\r\nKey=\r\n") << u"A"_s << u"Key"_s << 260 << QString();
        // A repeated section is not read, in any case of its name (keys of the first win).
        QTest::newRow("repeated section")
            << QByteArray("[A]\r\nKey=1\r\n[B]\r\n[ a ]\r\nKey=2\r\nOnly=3\r\n") << u"A"_s
            << u"Key"_s << 260 << u"1"_s;
        QTest::newRow("repeated section, lone CR line ends")
            << QByteArray("[A]\rKey=1\r[a]\rKey=2\r") << u"A"_s << u"Key"_s << 260 << u"1"_s;
        QTest::newRow("repeated section after a byte order mark")
            << QByteArray("\xEF\xBB\xBF[A]\r\nKey=1\r\n[a]\r\nKey=2\r\n") << u"A"_s << u"Key"_s
            << 260 << u"1"_s;
        QTest::newRow("key of a repeated section only")
            << QByteArray("[A]\r\nKey=1\r\n[a]\r\nOnly=3\r\n") << u"A"_s << u"Only"_s << 260
            << u"default"_s;
        QTest::newRow("key written twice: the first place")
            << QByteArray("[Messages]\r\nName0=first\r\nname0=second\r\n") << u"Messages"_s
            << u"Name0"_s << 260 << u"first"_s;
        QTest::newRow("other section only")
            << QByteArray("[B]\r\nKey=1\r\n") << u"A"_s << u"Key"_s << 260 << u"default"_s;
    }
    void readsLikeThePlatform() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, bufferSize);
        QFETCH(QString, expected);
        const QString path = Path(u"read.ini"_s);
        WriteBytes(path, file);
        QCOMPARE(PrivateProfile::ReadString(path, section, key, u"default"_s, bufferSize),
                 expected);
        // Several values from one read of the file come out the same, each with its own default.
        QCOMPARE(PrivateProfile::ReadStrings(path, {{u"Missing"_s, key, u"other"_s},
                                                    {section, key, u"default"_s, bufferSize}}),
                 (QStringList{u"other"_s, expected}));
    }

    void readsIntegersLikeThePlatform_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("192") << 192;
        QTest::newRow("wider than a byte") << QByteArray("300") << 300;
        QTest::newRow("negative") << QByteArray("-3") << -3;
        QTest::newRow("hex") << QByteArray("0x1F") << 31;
        QTest::newRow("trailing text") << QByteArray("12abc") << 12;
        QTest::newRow("no digits") << QByteArray("abc") << 0;
        QTest::newRow("empty gives default") << QByteArray("") << 99;
    }
    void readsIntegersLikeThePlatform() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const QString path = Path(u"int.ini"_s);
        WriteBytes(path, "[Login]\r\nIP0=" + value + "\r\n");
        QCOMPARE(PrivateProfile::ReadInt(path, u"Login"_s, u"IP0"_s, 99), expected);
    }

    void refusesWhatItCannotStore() {
        QString reason;
        QVERIFY(!PrivateProfile::WriteString(Path(u"lines.ini"_s), u"A"_s, u"Key"_s,
                                             u"two\nlines"_s, &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!QFile::exists(Path(u"lines.ini"_s)));

        reason.clear();
        QVERIFY(!PrivateProfile::WriteString(Path(u"no/such/folder/x.ini"_s), u"A"_s, u"Key"_s,
                                             u"v"_s, &reason));
        QVERIFY(!reason.isEmpty());
    }

    void sectionsAreListedOnceInFileOrder() {
        const QString path = Path(u"sections.ini"_s);
        QVERIFY(PrivateProfile::ReadSections(path).isEmpty());
        WriteBytes(path, "[Site]\r\nName=x\r\n[west]\r\nA=1\r\n[East]\r\n[WEST]\r\nA=2\r\n");
        QCOMPARE(PrivateProfile::ReadSections(path),
                 (QStringList{u"Site"_s, u"west"_s, u"East"_s}));
    }

    void keepsNonAsciiText() {
        const QString path = Path(u"utf8.ini"_s);
        QVERIFY(PrivateProfile::WriteString(path, u"Messages"_s, u"Name0"_s, u"Durchsage Süd"_s));
        QCOMPARE(PrivateProfile::ReadString(path, u"messages"_s, u"name0"_s, QString()),
                 u"Durchsage Süd"_s);
    }
};

VANTREL_TEST_GUILESS_MAIN(TestPrivateProfile)
#include "test_private_profile.moc"
