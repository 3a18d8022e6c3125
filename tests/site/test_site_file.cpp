// The installation's site.ini, through the profile layer.

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

#include "site/FileDigest.h"
#include "site/HistoryRecorder.h"
#include "site/SiteFile.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestSiteFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controllersAreWrittenAndReadBack() {
        QTemporaryDir folder;
        SiteFile site(folder.path());
        QString error;
        QVERIFY(!site.Load(&error));
        QVERIFY(error.contains(u"vantrel-site init"_s));
        QVERIFY(site.WriteSite(u"Airport"_s, u"Jane Doe"_s, &error));
        QVERIFY(site.Load(&error));
        QVERIFY(site.AddController({u"east"_s, u"10.1.0.5"_s, 2121, u"service"_s}, &error));
        QVERIFY(site.AddController({u"west-2"_s, u"10.1.0.6"_s, 21, u"admin"_s}, &error));
        QVERIFY(!site.AddController({u"EAST"_s, u"10.1.0.7"_s, 21, u"x"_s}, &error));
        QVERIFY(error.contains(u"already"_s));

        SiteFile again(folder.path());
        QVERIFY2(again.Load(&error), qPrintable(error));
        QCOMPARE(again.SiteName(), u"Airport"_s);
        QCOMPARE(again.Engineer(), u"Jane Doe"_s);
        QCOMPARE(again.Controllers().size(), 2);
        QCOMPARE(again.Controllers().first(),
                 (SiteFile::Controller{u"east"_s, u"10.1.0.5"_s, 2121, u"service"_s}));
        QList<SiteFile::Controller> selected;
        QVERIFY(again.Select({u"West-2"_s}, &selected, &error));
        QCOMPARE(selected.first().name, u"west-2"_s);
        QVERIFY(!again.Select({u"north"_s}, &selected, &error));
        QVERIFY(error.contains(u"north"_s));

        QFile file(again.FilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[east]\r\nAddress=10.1.0.5\r\nPort=2121\r\nUser=service\r\n"));
        QVERIFY(!text.contains("assword"));
    }

    // A name may have blanks inside ("East wing"); the restore command a failed push names quotes
    // it, so that it can be pasted into a shell.
    void namesWithInnerBlanks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("inner blank") << u"East wing"_s << true;
        QTest::newRow("leading blank") << u" east"_s << false;
        QTest::newRow("trailing blank") << u"east "_s << false;
        QTest::newRow("tab") << u"east\twing"_s << false;
        QTest::newRow("64") << QString(64, u'a') << true;
        QTest::newRow("65") << QString(65, u'a') << false;
    }
    void namesWithInnerBlanks() {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(SiteFile::NameProblem(name).isEmpty(), usable);
        if (usable && name.contains(u' ')) {
            QVERIFY2(HistoryRecorder::MayBeIncompleteSentence(name, u"rfa/cfg/a.cfg"_s, true,
                                                              u"0123456789abcdef"_s)
                         .endsWith(u"vantrel-site restore \"East wing\" rfa/cfg/a.cfg --from "
                                   u"0123456789ab"_s),
                     "quoted");
            QVERIFY(
                HistoryRecorder::RestoreAgainSentence(name, u"rfa/cfg/a.cfg"_s, u"abc"_s)
                    .endsWith(u"vantrel-site restore \"East wing\" rfa/cfg/a.cfg --from abc"_s));
        }
    }

    void unusableSectionsAreNamed_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no address") << QByteArray("[east]\r\nPort=21\r\n") << u"no Address"_s;
        QTest::newRow("port") << QByteArray("[east]\r\nAddress=a\r\nPort=70000\r\n")
                              << u"is not a port"_s;
        QTest::newRow("name") << QByteArray("[.hidden]\r\nAddress=a\r\n") << u"not starting"_s;
        QTest::newRow("slash") << QByteArray("[a/b]\r\nAddress=a\r\n") << u"\"a/b\" is not"_s;
    }

    void unusableSectionsAreNamed() {
        QFETCH(QByteArray, section);
        QFETCH(QString, problem);
        QTemporaryDir folder;
        QFile file(folder.filePath(u"site.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Site]\r\nName=x\r\n[ok]\r\nAddress=b\r\n" + section);
        file.close();
        SiteFile site(folder.path());
        QString error;
        QVERIFY(!site.Load(&error));
        QVERIFY2(error.contains(problem), qPrintable(error));
    }

    // The digest the read-back and the record compare: known values, and files larger than one
    // read, against Qt's own SHA-256.
    void digestsOfBytesAndFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("abc") << QByteArray("abc");
        QByteArray large(3 * 1024 * 1024 + 17, '\0');
        for (qsizetype i = 0; i < large.size(); ++i) {
            large[i] = char(i * 7 + i / 4096);
        }
        QTest::newRow("3 MB and a bit") << large;
    }

    void digestsOfBytesAndFiles() {
        QFETCH(QByteArray, bytes);
        const QByteArray expected =
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        QCOMPARE(file_digest::OfBytes(bytes), expected);
        QTemporaryDir folder;
        QFile file(folder.filePath(u"file"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QCOMPARE(file_digest::OfFile(file.fileName()), expected);
        QVERIFY(file_digest::OfFile(folder.filePath(u"missing"_s)).isEmpty());
        if (bytes == "abc") {
            QCOMPARE(expected, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        }
    }
};

VANTREL_TEST_GUILESS_MAIN(TestSiteFile)
#include "test_site_file.moc"
