#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// The controller simulator (simulator/controller_simulator.py) as a test fixture: Start() runs it
// with /usr/bin/python3 on 127.0.0.1, on a free port, serving a fresh temporary folder, and waits
// for its readiness line; the destructor stops that one process (and the folder is removed).
// Every test that needs an FTP peer makes its own, so tests can run in parallel.
//
//     ControllerSimulator simulator;            // or ControllerSimulator(options)
//     QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
//     session.Connect(agent, simulator.Host(), simulator.User(), simulator.Password(),
//                     simulator.Port());
//     QFile file(simulator.LocalPath(u"/mmu/a.set"_s));  // the file as the controller stores it
class ControllerSimulator {
public:
    struct Options {
        QString user = QStringLiteral("service");
        QString password = QStringLiteral("secret");
        QString cardPath = QStringLiteral("/mmu/card");  // remote path of the card pseudo-file
        qint64 cardSize = 64 * 1024 * 1024;              // capacity the card is listed with
        bool noCard = false;                             // no card pseudo-file at all
        bool refuseLogin = false;                        // every login gets 530
        double loginFailDelay = 0.2;                     // seconds before a 530 is sent
        qint64 dropAfter = -1;                           // reset data connections after N bytes
        bool refuseMkd = false;
        bool refuseDele = false;
        bool refusePwd = false;
        double replyDelay = 0;  // seconds before every reply
        int closeAfter = -1;    // close the control connection on the Kth command (once)
        bool dosListing = false;
        double connectLate = -1;      // connect back this long after the 1xx reply
        double late425 = -1;          // never connect back; "425" this long after the 1xx
        double greetingDelay = 0;     // seconds before the greeting
        bool greeting421 = false;     // greet with "421" and close
        double idleTimeout = 0;       // close idle control connections with "421"; 0: 300 s
        int trickle = 0;              // data at this many bytes per second; 0: full speed
        bool endlessListing = false;  // LIST never ends
        qint64 storeFullAfter = -1;   // "552" after this many bytes of a STOR
        qint64 stallAfter = -1;       // data stops, connection open, after this many bytes
        qint64 truncateStored = -1;   // stored files keep only this many bytes; "226" as usual
        int close421After = -1;       // "421" and close on the Kth command (once)
        bool nonUtf8Names = false;    // names as bytes, and /mmu/caf\xE9.set (Latin-1) there
        bool lfReplies = false;       // reply lines end in LF only
        bool multilineReplies = false;
        bool variantCodes = false;     // "125" for "150", "250" for "226"
        QString doubleReply;           // the verb whose final reply is sent twice
        qint64 endDataEarly = -1;      // end a RETR's data connection in order after N bytes, "226"
        bool endDataEarly426 = false;  // ... and "426" instead
        bool noSize = false;           // SIZE is not implemented ("502")
        bool strangerConnects = false;  // 127.0.0.2 reaches each data port before the controller
        int slowStor = 0;    // a STOR's data read at this many bytes per second; 0: full speed
        bool pwdCr = false;  // PWD's reply holds a CR inside the quoted directory
        bool allowPassive = false;
        bool logCommands = true;  // keep the commands received for CommandLog()
        int port = 0;             // 0: a free port
    };

    ControllerSimulator();
    explicit ControllerSimulator(Options options);
    ~ControllerSimulator();
    ControllerSimulator(const ControllerSimulator&) = delete;
    ControllerSimulator& operator=(const ControllerSimulator&) = delete;

    // Starts the server and waits (at most timeoutMs) for its readiness line. False with a reason
    // in ErrorText() when it did not come up.
    [[nodiscard]] bool Start(int timeoutMs = 15000);
    // Stops the server (SIGTERM, then SIGKILL); harmless when it is not running. The folder stays
    // until the fixture is destroyed.
    void Stop();
    bool IsRunning() const { return process_.state() != QProcess::NotRunning; }
    // Stops and resumes the server process: a controller that no longer answers at all, while
    // its connections stay open.
    void Freeze();
    void Thaw();

    QString Host() const { return QStringLiteral("127.0.0.1"); }
    quint16 Port() const { return port_; }
    const QString& User() const { return options_.user; }
    const QString& Password() const { return options_.password; }
    const Options& GetOptions() const { return options_; }
    QString ErrorText() const { return errorText_; }

    // The local folder served as the controller's "/".
    QString RootPath() const;
    // The local file behind a remote path ("/rfa\cfg\a.cfg" or "/mmu/a.set").
    QString LocalPath(const QString& remotePath) const;
    // Every command the server received so far, one a line (passwords masked).
    QString CommandLog() const;

private:
    Options options_;
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
    QString errorText_;
};
