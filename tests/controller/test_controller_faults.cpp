#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "controller/ControllerSession.h"
#include "base/ProgressSink.h"
#include "tests/controller/SessionFaults.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Options = ControllerSimulator::Options;
using namespace session_faults;

namespace {

constexpr qsizetype kFileSize = 104000;
const QString kIncomplete =
    u"The file on the controller may now be incomplete; upload it again before the controller "
    u"uses it."_s;

// Progress displays that cancel at their Nth pump, however few blocks have gone.
class PumpCancelFactory : public ProgressSinkFactory {
public:
    explicit PumpCancelFactory(int cancelAtPump) : cancelAt_(cancelAtPump) {}
    std::unique_ptr<ProgressSink> Create(const QString&) override {
        return std::make_unique<Sink>(cancelAt_);
    }

private:
    struct Sink : ProgressSink {
        explicit Sink(int cancelAt) : cancelAt_(cancelAt) {}
        void PumpMessages() override { cancelled_ = ++pumps_ >= cancelAt_; }
        bool IsCancelled() const override { return cancelled_; }
        void MakeModal() override {}
        void SetBarRange(int, int, int) override {}
        void SetText(const QString&) override {}
        void Advance() override {}
        void HideProgress() override {}
        void RepaintNow() override {}
        int cancelAt_;
        int pumps_ = 0;
        bool cancelled_ = false;
    };
    int cancelAt_;
};

enum class Operation { Connect, Download, AsciiDownload, Upload, List };

struct FaultCase {
    const char* name;
    Options options;
    Operation operation;
    bool succeeds;
    QStringList texts;  // what LastError() must hold
    int maxMs;          // the operation's time bound
};

Options With(const std::function<void(Options&)>& change) {
    Options options;
    change(options);
    return options;
}

const std::vector<FaultCase>& Catalogue() {
    static const std::vector<FaultCase> cases = {
        {"connect back after 150: download",
         With([](Options& o) { o.connectLate = 0.05; }),
         Operation::Download,
         true,
         {},
         3000},
        {"connect back after 150: listing",
         With([](Options& o) { o.connectLate = 0.05; }),
         Operation::List,
         true,
         {},
         3000},
        {"connect back after 150: upload",
         With([](Options& o) { o.connectLate = 0.05; }),
         Operation::Upload,
         true,
         {},
         3000},
        {"125 and 250: download",
         With([](Options& o) { o.variantCodes = true; }),
         Operation::Download,
         true,
         {},
         3000},
        {"125 and 250: upload",
         With([](Options& o) { o.variantCodes = true; }),
         Operation::Upload,
         true,
         {},
         3000},
        {"LF-only replies: download",
         With([](Options& o) { o.lfReplies = true; }),
         Operation::Download,
         true,
         {},
         3000},
        {"multi-line replies: listing",
         With([](Options& o) { o.multilineReplies = true; }),
         Operation::List,
         true,
         {},
         3000},
        {"late 425 after the accept bound",
         With([](Options& o) { o.late425 = 3; }),
         Operation::Download,
         false,
         {u"did not open the data connection to this PC within"_s},
         2600},
        {"425 within the accept bound",
         With([](Options& o) { o.late425 = 0.2; }),
         Operation::Download,
         false,
         {u"could not open the data connection"_s, u"\"425 Can't open data connection.\""_s},
         1500},
        {"greeting 421",
         With([](Options& o) { o.greeting421 = true; }),
         Operation::Connect,
         false,
         {u"closed the session"_s, u"421"_s},
         1500},
        {"greeting never in time",
         With([](Options& o) { o.greetingDelay = 4; }),
         Operation::Connect,
         false,
         {u"did not answer in time"_s},
         2600},
        {"stalled download",
         With([](Options& o) { o.stallAfter = 50000; }),
         Operation::Download,
         false,
         {u"no data moved for 1.5 s"_s},
         2600},
        {"trickling listing",
         With([](Options& o) { o.trickle = 40; }),
         Operation::List,
         false,
         {},
         4200},
        {"endless listing",
         With([](Options& o) { o.endlessListing = true; }),
         Operation::List,
         false,
         {},
         4200},
        {"552 during STOR",
         With([](Options& o) { o.storeFullAfter = 50000; }),
         Operation::Upload,
         false,
         {u"storage is full"_s, u"\"552 "_s, kIncomplete},
         3000},
        {"PASS answered twice",
         With([](Options& o) { o.doubleReply = u"PASS"_s; }),
         Operation::Connect,
         false,
         {u"a reply that answers no request (the controller sent \"230 "_s},
         1500},
        {"TYPE answered twice: download",
         With([](Options& o) { o.doubleReply = u"TYPE"_s; }),
         Operation::Download,
         false,
         {u"a reply that answers no request (the controller sent \"200 "_s},
         1500},
        {"RETR answered twice: download",
         With([](Options& o) { o.doubleReply = u"RETR"_s; }),
         Operation::Download,
         false,
         {u"a reply that answers no request (the controller sent \"226 "_s},
         1500},
        {"data ends early with 226, no SIZE: download",
         With([](Options& o) {
             o.endDataEarly = 50000;
             o.noSize = true;
         }),
         Operation::Download,
         false,
         {u"the controller sent 50000 bytes of a file of 104000 bytes"_s},
         1500},
        {"data ends early with 226: ASCII download",
         With([](Options& o) { o.endDataEarly = 50000; }),
         Operation::AsciiDownload,
         false,
         {u"the controller sent 50000 bytes of a file of 104000 bytes"_s},
         1500},
        {"data ends early with 426: download",
         With([](Options& o) {
             o.endDataEarly = 50000;
             o.endDataEarly426 = true;
         }),
         Operation::Download,
         false,
         {u"the controller broke off the transfer"_s, u"\"426 "_s},
         1500},
        {"more bytes than announced: download",
         With([](Options& o) {  // the card pseudo-file lists 1000 bytes and holds more
             o.cardPath = u"/mmu/data.bin"_s;
             o.cardSize = 1000;
         }),
         Operation::Download,
         false,
         {u"the controller sent more than the 1000 bytes of the file"_s},
         1500},
        {"a stranger on the data port first: download",
         With([](Options& o) { o.strangerConnects = true; }),
         Operation::Download,
         true,
         {},
         1500},
        {"slow STOR reader that writes on the data connection: upload",
         With([](Options& o) { o.slowStor = 40000; }),
         Operation::Upload,
         true,
         {},
         4000},
    };
    return cases;
}

}  // namespace

// The session against a controller that misbehaves, one fault at a time. After each fault four
// things are checked: the result and its text, the files on both sides, that the next command
// gets its own reply, and the time the operation took.
class ControllerFaultsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir local_;

private slots:
    void catalogue_data() {
        QTest::addColumn<int>("index");
        for (size_t index = 0; index < Catalogue().size(); ++index) {
            QTest::newRow(Catalogue()[index].name) << static_cast<int>(index);
        }
    }

    void catalogue() {
        QFETCH(int, index);
        const FaultCase& fault = Catalogue()[static_cast<size_t>(index)];
        ControllerSimulator simulator(fault.options);
        ControllerSession session;
        QElapsedTimer timer;
        if (fault.operation == Operation::Connect) {
            QVERIFY(simulator.Start());
            session.SetTimeouts(kTimeouts);
            timer.start();
            QCOMPARE(session.Connect(u"t"_s, simulator.Host(), simulator.User(),
                                     simulator.Password(), simulator.Port()),
                     fault.succeeds);
        } else {
            QVERIFY(Open(simulator, session));
            const QByteArray remoteBytes = RandomBytes(kFileSize);
            QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/data.bin"_s), remoteBytes));
            QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
            const QString local = local_.filePath(QString::fromLatin1(fault.name));
            const QByteArray localBytes = RandomBytes(kFileSize / 2);
            QVERIFY(WriteFile(local, localBytes));
            // Twice: the second runs on the connection the first left.
            for (int round = 0; round < (fault.succeeds ? 2 : 1); ++round) {
                timer.start();
                bool result = false;
                QList<RemoteEntry> entries;
                switch (fault.operation) {
                    case Operation::Download:
                    case Operation::AsciiDownload:
                        result = session.Download(local, u"data.bin"_s,
                                                  fault.operation == Operation::Download
                                                      ? TransferType::Binary
                                                      : TransferType::Ascii,
                                                  true);
                        QCOMPARE(ReadFile(local), result ? remoteBytes : localBytes);
                        break;
                    case Operation::Upload:
                        result = session.Upload(u"up.bin"_s, local, TransferType::Binary, true);
                        if (result) {
                            QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/up.bin"_s)), localBytes);
                        }
                        break;
                    case Operation::List:
                        result = session.ListRemote(QString(), &entries);
                        QCOMPARE(entries.contains(RemoteEntry{u"data.bin"_s, kFileSize, false}),
                                 result);
                        break;
                    case Operation::Connect:
                        break;
                }
                QVERIFY2(result == fault.succeeds, qPrintable(session.LastError()));
            }
        }
        QVERIFY2(timer.elapsed() <= fault.maxMs, qPrintable(QString::number(timer.elapsed())));
        for (const QString& text : fault.texts) {
            QVERIFY2(session.LastError().contains(text), qPrintable(session.LastError()));
        }
        if (session.IsConnected()) {
            ProbeNextCommand(session, u"/mmu"_s);
        }
    }

    // A worker thread has no event loop to end its command: after a request that got no answer,
    // every further one fails at once until the worker ends the command itself.
    void aWorkerEndsItsCommandItself() {
        Options options;
        options.stallAfter = 50000;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/data.bin"_s), RandomBytes(kFileSize)));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        QVERIFY(!session.Download(local_.filePath(u"stalled.bin"_s), u"data.bin"_s,
                                  TransferType::Binary, false));
        QCOMPARE(session.GetRemoteDirectory(), QString());  // nothing sent: the command goes on
        session.EndCommand();
        QCOMPARE(session.GetRemoteDirectory(), u"/mmu"_s);
    }

    void trickleCanBeCancelled() {
        Options options;
        options.trickle = 10;
        ControllerSimulator simulator(options);
        ControllerSession session;
        PumpCancelFactory progress(4);  // one pump for the first block, then the timer's
        session.SetProgressFactory(&progress);
        QVERIFY(Open(simulator, session));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/slow.bin"_s), RandomBytes(kFileSize)));
        const QString local = local_.filePath(u"slow.bin"_s);
        QVERIFY(WriteFile(local, "before"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.Download(local, u"/mmu/slow.bin"_s, TransferType::Binary, true));
        // The size listing trickles too and ends at its bound; the download is cancelled at once.
        QVERIFY2(timer.elapsed() < kTimeouts.listing.count() + 1500,
                 qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(session.LastError(), u"FTP download cancelled by user."_s);
        QCOMPARE(ReadFile(local), QByteArray("before"));
        ProbeNextCommand(session, u"/"_s);
    }

    // Another host that reaches the data port before the controller gets nothing of the file: its
    // connection is closed at once, noted in the transcript, and the controller's is taken.
    void aStrangerOnTheDataPortIsTurnedAway() {
        Options options;
        options.strangerConnects = true;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        const QString local = local_.filePath(u"secret.bin"_s);
        const QByteArray bytes = RandomBytes(kFileSize);
        QVERIFY(WriteFile(local, bytes));
        QVERIFY2(session.Upload(u"/mmu/secret.bin"_s, local, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/secret.bin"_s)), bytes);
        QTRY_COMPARE(simulator.CommandLog().count(u"(stranger received"_s), 2);  // STOR, LIST
        QCOMPARE(simulator.CommandLog().count(u"(stranger received 0 bytes)"_s), 2);
        const FtpTranscript::Exchange* stored =
            session.Transcript().LastFor(u"STOR /mmu/secret.bin"_s);
        QVERIFY(stored != nullptr);
        QCOMPARE(stored->notes,
                 QStringList{u"Closed a data connection from 127.0.0.2: only the controller "
                             u"(127.0.0.1) may open it."_s});
    }
};

VANTREL_TEST_GUILESS_MAIN(ControllerFaultsTest)
#include "test_controller_faults.moc"
