#include <QTest>

#include "ftp/AsciiLineEnds.h"
#include "ftp/RemoteListParser.h"
#include "ftp/RemoteName.h"
#include "ftp/ReplyReader.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

// The byte-level pieces of the FTP client: replies cut from the control connection, names kept as
// bytes, and the line ends of ASCII transfers.
class FtpReplyReaderTest : public QObject {
    Q_OBJECT

private slots:
    void cutsReplies_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QString>("lastLine");  // of the last reply
        QTest::addColumn<bool>("pending");      // bytes left after the last complete reply
        QTest::newRow("CRLF") << QByteArray("220 ready\r\n") << QList<int>{220} << u"220 ready"_s
                              << false;
        QTest::newRow("LF only") << QByteArray("331 user ok\n230 in\n") << QList<int>{331, 230}
                                 << u"230 in"_s << false;
        QTest::newRow("multi-line")
            << QByteArray("220-welcome\r\n226 not the end\r\n  more\r\n220 end\r\n")
            << QList<int>{220} << u"220 end"_s << false;
        QTest::newRow("multi-line ended by the bare code")
            << QByteArray("211-a\n211\n") << QList<int>{211} << u"211"_s << false;
        QTest::newRow("preliminary then final") << QByteArray("150 opening\r\n226 done\r\n")
                                                << QList<int>{150, 226} << u"226 done"_s << false;
        QTest::newRow("incomplete")
            << QByteArray("150 opening\r\n226 do") << QList<int>{150} << u"150 opening"_s << true;
        QTest::newRow("not FTP") << QByteArray("hello\r\n") << QList<int>{0} << u"hello"_s << false;
        QTest::newRow("endless line") << QByteArray(ReplyReader::kMaxReplyBytes + 10, 'x')
                                      << QList<int>{0} << u"(an endless reply)"_s << true;
    }

    void cutsReplies() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, codes);
        QFETCH(QString, lastLine);
        QFETCH(bool, pending);
        ReplyReader reader;
        // Byte by byte: the pieces the network delivers may end anywhere.
        QList<int> taken;
        FtpReply last;
        for (const char byte : bytes) {
            reader.Append(&byte, 1);
            while (std::optional<FtpReply> reply = reader.Take()) {
                taken << reply->code;
                last = *reply;
            }
        }
        QCOMPARE(taken, codes);
        QCOMPARE(last.LastLine(), lastLine);
        QCOMPARE(reader.HasPending(), pending);
    }

    void namesKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ASCII") << QByteArray("a b.set") << u"a b.set"_s;
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9") << u"café"_s;
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.set") << u"caf\xdce9.set"_s;
        QTest::newRow("cut UTF-8") << QByteArray("a\xe2\x82") << u"a\xdce2\xdc82"_s;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << u"\xdcc0\xdcaf"_s;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb3\xa9") << u"\xdced\xdcb3\xdca9"_s;
        QTest::newRow("emoji") << QByteArray("\xf0\x9f\x98\x80") << u"\U0001F600"_s;
    }

    void namesKeepTheirBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(remote_name::FromBytes(bytes), shown);
        QCOMPARE(remote_name::ToBytes(shown), bytes);
        // A listing keeps them too.
        const QList<RemoteEntry> entries =
            RemoteListParser::Parse("-rw-r--r--   1 owner group 13 Dec 09 05:24 " + bytes + "\r\n");
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].rawName, bytes);
        QCOMPARE(entries[0].name, shown);
    }

    void asciiLineEnds() {
        AsciiLineEnds toWire;
        QByteArray wire;
        toWire.ToWire("a\nb\r", 4, &wire);
        toWire.ToWire("\nc\n", 3, &wire);  // a CRLF cut between two pieces stays one
        QCOMPARE(wire, QByteArray("a\r\nb\r\nc\r\n"));
        AsciiLineEnds fromWire;
        QByteArray file;
        fromWire.FromWire("a\r\nb\r", 5, &file);
        fromWire.FromWire("\nc\rd\r", 5, &file);
        fromWire.FinishFromWire(&file);
        QCOMPARE(file, QByteArray("a\nb\nc\rd\r"));
    }
};

VANTREL_TEST_GUILESS_MAIN(FtpReplyReaderTest)
#include "test_ftp_reply_reader.moc"
