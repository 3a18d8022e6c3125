#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "controller/ControllerSession.h"
#include "progress/ProgressSink.h"
#include "tests/support/ControllerSimulator.h"
#include "transfer/EnsureRemoteDirectory.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Options = ControllerSimulator::Options;

namespace {

constexpr qsizetype kFileSize = 104000;
const ControllerSession::Timeouts kTimeouts{2000ms, 1500ms, 3000ms};

QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

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

enum class Operation { Connect, Download, Upload, List };

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
         {u"storage is full"_s, u"\"552 "_s},
         3000},
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

    bool Open(ControllerSimulator& simulator, ControllerSession& session) {
        if (!simulator.Start()) {
            qWarning("%s", qPrintable(simulator.ErrorText()));
            return false;
        }
        session.SetTimeouts(kTimeouts);
        session.SetProgressPause(0ms);
        return session.Connect(u"test"_s, simulator.Host(), simulator.User(), simulator.Password(),
                               simulator.Port());
    }

    // The user's next command: the session is back in step and in its directory.
    static void ProbeNextCommand(ControllerSession& session, const QString& directory) {
        QCoreApplication::sendPostedEvents();
        QCOMPARE(session.GetRemoteDirectory(), directory);
        QVERIFY(!session.SetRemoteDirectory(u"/missing"_s));  // its own 550, not a late reply
        QCOMPARE(session.GetRemoteDirectory(), directory);
    }

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
                        result = session.Download(local, u"data.bin"_s, TransferType::Binary, true);
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

    void idle421IsReplacedAndTheDirectoryKept() {
        Options options;
        options.idleTimeout = 1;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\web"_s));
        const QString local = local_.filePath(u"logo.gif"_s);
        QVERIFY(WriteFile(local, "gif"));
        QThread::msleep(1500);  // the controller closes the idle connection with 421
        QVERIFY2(session.Upload(u"logo.gif"_s, local, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/rfa/web/logo.gif"_s)), QByteArray("gif"));
        QCOMPARE(simulator.CommandLog().count(u"USER "_s), 2);  // logged in again
    }

    void lostDirectoryFailsRelativeNames() {
        Options options;
        options.idleTimeout = 1;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(QDir().mkpath(simulator.LocalPath(u"/mmu/gone"_s)));
        QVERIFY(session.SetRemoteDirectory(u"/mmu\\gone"_s));
        QVERIFY(QDir(simulator.LocalPath(u"/mmu/gone"_s)).removeRecursively());
        QThread::msleep(1500);
        const QString local = local_.filePath(u"lost.bin"_s);
        QVERIFY(WriteFile(local, "lost"));
        QVERIFY(!session.Upload(u"lost.bin"_s, local, TransferType::Binary, false));
        QVERIFY2(session.LastError().contains(u"/mmu/gone could not be entered"_s),
                 qPrintable(session.LastError()));
        QDirIterator anywhere(simulator.RootPath(), {u"lost.bin"_s}, QDir::Files,
                              QDirIterator::Subdirectories);
        QVERIFY(!anywhere.hasNext());  // not in "/" nor anywhere else
        QVERIFY(session.Upload(u"/mmu/lost.bin"_s, local, TransferType::Binary, false));
    }

    void a421IsRepeatedOnlyWhenSafe_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("repeated");
        QTest::newRow("PWD") << u"PWD"_s << true;
        QTest::newRow("STOR before data") << u"STOR"_s << true;
        QTest::newRow("DELE") << u"DELE"_s << false;
    }

    void a421IsRepeatedOnlyWhenSafe() {
        QFETCH(QString, command);
        QFETCH(bool, repeated);
        Options options;
        // Connect: USER PASS PWD; STOR comes after TYPE and PORT.
        options.close421After = command == u"STOR"_s ? 6 : 4;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        const QString local = local_.filePath(u"retry.bin"_s);
        QVERIFY(WriteFile(local, "retry"));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/old.bin"_s), "old"));
        bool result = false;
        if (command == u"PWD"_s) {
            result = session.GetRemoteDirectory() == u"/"_s;
        } else if (command == u"STOR"_s) {
            result = session.Upload(u"/mmu/retry.bin"_s, local, TransferType::Binary, false);
            QCOMPARE(QFile::exists(simulator.LocalPath(u"/mmu/retry.bin"_s)), result);
        } else {
            result = session.DeleteRemoteFile(u"/mmu/old.bin"_s);
            QVERIFY(QFile::exists(simulator.LocalPath(u"/mmu/old.bin"_s)));
        }
        QVERIFY2(result == repeated, qPrintable(session.LastError()));
        QCOMPARE(simulator.CommandLog().count(u"USER "_s), repeated ? 2 : 1);
        ProbeNextCommand(session, u"/"_s);
    }

    void deadControllerCostsOneWait() {
        ControllerSimulator simulator;
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        simulator.Freeze();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!session.SetRemoteDirectory(u"/rfa\\web"_s));
        QVERIFY(!EnsureRemoteDirectory(session, u"/rfa\\web\\img"_s));
        QList<RemoteEntry> entries;
        QVERIFY(!session.ListRemote(QString(), &entries));
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!QFileInfo::exists(simulator.LocalPath(u"/rfa/web/img"_s)));
        simulator.Thaw();
        ProbeNextCommand(session, u"/mmu"_s);
    }

    void namesThatAreNotUtf8GoBackByteForByte() {
        Options options;
        options.nonUtf8Names = true;
        ControllerSimulator simulator(options);
        ControllerSession session;
        QVERIFY(Open(simulator, session));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));
        QList<RemoteEntry> entries;
        QVERIFY(session.ListRemote(QString(), &entries));
        const auto latin1 = std::find_if(entries.cbegin(), entries.cend(), [](const auto& entry) {
            return entry.rawName == QByteArray("caf\xe9.set");
        });
        QVERIFY(latin1 != entries.cend());
        QVERIFY(latin1->name.startsWith(u"caf"_s) && latin1->name.endsWith(u".set"_s));
        const QString local = local_.filePath(u"latin1.set"_s);
        QVERIFY2(session.Download(local, latin1->name, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(local), QByteArray("latin-1 name\n"));
        QVERIFY(session.DeleteRemoteFile(latin1->name));
        QVERIFY(QDir(simulator.LocalPath(u"/mmu"_s)).entryList({u"caf*.set"_s}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(ControllerFaultsTest)
#include "test_controller_faults.moc"
