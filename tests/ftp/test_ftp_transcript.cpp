#include <QTest>

#include "ftp/FtpTranscript.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

// Pairs commands with their final replies as the protocol trace delivers them, in pieces.
class FtpTranscriptTest : public QObject {
    Q_OBJECT

private slots:
    void pairsCommandsWithFinalReplies() {
        FtpTranscript transcript;
        transcript.ReplyReceived("220-Welcome\r\n220-second line\r\n220 ready\r\n");
        transcript.CommandSent("USER service\r\n");
        transcript.ReplyReceived("331 Username ok");
        transcript.ReplyReceived(", send password.\r\n");
        transcript.CommandSent("PASS topsecret\r\n");
        transcript.ReplyReceived("230 Login successful.\r\n");
        transcript.CommandSent("RETR a.set\r\n");
        transcript.ReplyReceived("150 File status okay.\r\n");
        transcript.ReplyReceived("426 Data connection dropped; transfer aborted.\r\n");
        transcript.CommandSent("CWD /x\r\n");
        transcript.ReplyReceived("550-No such\n550 directory.\n");  // LF-only replies

        const QList<FtpTranscript::Exchange>& exchanges = transcript.Exchanges();
        QCOMPARE(exchanges.size(), 5);
        QCOMPARE(exchanges[0].command, QString());
        QCOMPARE(exchanges[0].code, 220);
        QCOMPARE(exchanges[1].reply, u"331 Username ok, send password."_s);
        QCOMPARE(exchanges[2].command, u"PASS ******"_s);
        QCOMPARE(transcript.LastFor(u"RETR a.set"_s)->code, 426);
        QCOMPARE(transcript.LastFor(u"cwd /x"_s)->reply, u"550 directory."_s);
        QVERIFY(transcript.LastFor(u"DELE a.set"_s) == nullptr);
        QCOMPARE(transcript.LastAnswered()->code, 550);
        for (const FtpTranscript::Exchange& exchange : exchanges) {
            QVERIFY(!exchange.command.contains(u"topsecret"_s));
        }
    }

    void keepsAnUnansweredCommandOpen() {
        FtpTranscript transcript;
        transcript.CommandSent("PWD\r\n");
        QCOMPARE(transcript.LastFor(u"PWD"_s)->code, 0);
        QVERIFY(transcript.LastAnswered() == nullptr);
        transcript.ReplyReceived("421 Closing.\r\n");  // the answer to PWD, even if unsolicited
        QCOMPARE(transcript.LastFor(u"PWD"_s)->code, 421);
        transcript.CommandSent("DELE name \r\n");  // a name's own trailing blank stays
        transcript.ReplyReceived("250 File removed.\r\n");
        const FtpTranscript::Exchange* deletion = transcript.LastFor(u"DELE name "_s);
        QVERIFY(deletion != nullptr);
        QCOMPARE(deletion->code, 250);
        transcript.Clear();
        QVERIFY(transcript.Exchanges().isEmpty());
    }
};

VANTREL_TEST_GUILESS_MAIN(FtpTranscriptTest)
#include "test_ftp_transcript.moc"
