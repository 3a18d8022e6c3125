#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

#include "ftp/ActiveTransfer.h"
#include "ftp/ControlConnection.h"

// The session's FTP conversation over one control connection, kept open between requests.
//
// Replies never get out of step: after any anomaly (no answer in time, a reply that answers
// nothing, a broken connection, a data connection that failed, "421") the control connection is
// closed, and the request fails (ControlConnection tells a reply that answers nothing). The next
// request then logs in again and, when its names are relative, enters the remembered directory
// again first; when that fails the request fails rather than running in another directory. A
// connection that the controller closed while idle (an idle "421") is noticed before the next
// request and replaced. Only when the controller answers "421" to a request that is safe to repeat
// (PWD, CWD, LIST, SIZE, TYPE; STOR and RETR before any data moved) is it repeated once, silently.
//
// After a request got no answer (a reply, the controller's data connection or its data did not
// come in time), or a reconnection failed, nothing else is sent for the rest of the user's
// command: every further request fails at once, with that first failure, until control returns
// to the event loop (or EndCommand is called). So a dead controller costs one wait, not one wait
// per request.
//
// Active mode (PORT) only, so only IPv4 controllers: an IPv6 address is refused before anything
// is sent. A directory the controller reports with a CR, LF or NUL in it is never remembered (it
// could not be sent back).
class FtpClient {
public:
    enum class Failure {
        None,
        Refused,           // a negative reply (reply holds it)
        LoginRefused,      // the user name or password was refused
        Unreachable,       // no connection (SystemError says why)
        NoAnswer,          // a wait ran out
        ConnectionLost,    // the controller closed the control connection or it broke
        SessionClosed,     // "421"
        NotUnderstood,     // a reply that is not FTP
        OutOfStep,         // a reply that answers no request (reply holds it)
        BadCommand,        // a name holding CR, LF or NUL: nothing was sent
        NotIpv4,           // an IPv6 address: active mode here is IPv4 only
        DirectoryLost,     // after a reconnection the remembered directory could not be entered
        DirectoryUnknown,  // after a reconnection the current directory is not known
        DataNotOpened,     // the controller did not connect back (or "425")
        DataLost,          // the data connection broke
        DataStalled,       // no data moved within the bound
        DataTooLarge,      // a listing beyond its size or time bound
        SizeMismatch,      // the bytes received differ from the size the controller gave
        TooManyBytes,      // more bytes came than the size the controller gave
        Stopped,           // cancelled, or the local file failed
    };
    struct Result {
        Failure failure = Failure::None;
        FtpReply reply;          // the last reply, when there was one
        qint64 bytes = 0;        // bytes moved on the data connection
        qint64 expected = -1;    // the size the controller gave for a download; -1: none
        bool dataMoved = false;  // the transfer used its source or sink: it cannot be repeated
        bool started = false;    // the controller took the RETR or STOR (a 1xx, or it connected)
        bool inStep = true;      // the control connection can go on being used
        int systemError = 0;     // the system's error number of an Unreachable or a DataLost
        bool Ok() const { return failure == Failure::None; }
    };
    struct Timeouts {
        std::chrono::milliseconds connect{8000};
        std::chrono::milliseconds reply{10000};
        std::chrono::milliseconds listing{30000};
    };
    struct Login {
        QString host;
        quint16 port = 21;
        QByteArray user;
        QByteArray password;
    };

    void SetTimeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
    const Timeouts& GetTimeouts() const { return timeouts_; }

    // Logs in and reads the directory the controller starts in (PWD); it becomes the remembered
    // directory (empty when the controller does not say).
    Result Open(const Login& login);
    // Sends QUIT (waiting briefly for its answer) and closes; forgets the login.
    void Close();
    bool IsOpen() const { return control_.IsOpen(); }

    // One command; a positive final reply is success.
    Result Command(const QByteArray& command);
    // CWD, then PWD; the directory reported (or the absolute path) becomes the remembered one.
    Result ChangeDirectory(const QByteArray& path);
    // PWD; the directory reported becomes the remembered one. One that holds a CR, LF or NUL fails
    // the request as DirectoryUnknown.
    Result ReadDirectory(QByteArray* directory);
    // LIST with the argument (none: the current directory) into listing, within the bounds.
    Result List(const QByteArray& argument, qint64 maxBytes, QByteArray* listing);
    // RETR in the given type ('A' or 'I'), checked against the size the controller gives: in
    // binary SIZE where it answers, else listedSize; in ASCII listedSize, which the bytes received
    // fit as they are (a controller that keeps CRLF) or with each CRLF counted as one byte (one
    // that keeps LF). More bytes than that stop the transfer (TooManyBytes); fewer or more at the
    // end fail it (SizeMismatch). listedSize -1: none known.
    Result Retrieve(const QByteArray& name, char type, qint64 listedSize,
                    const ActiveTransfer::Sink& sink, const NetTick& tick);
    // STOR in the given type ('A' or 'I'); the data ends with a half-close (ActiveTransfer).
    // started in the result tells whether the controller took it, and so may hold a partial file.
    Result Store(const QByteArray& name, char type, const ActiveTransfer::Source& source,
                 const NetTick& tick);

    const QByteArray& RememberedDirectory() const { return remembered_; }
    // The commands and replies since the last login, with what the client noted.
    const FtpTranscript& Transcript() const { return control_.Transcript(); }

    // Ends the user's command: after a request that got no answer, requests are sent again. The
    // event loop does this by itself once a command of the window is over; a worker thread that
    // has no event loop calls it between its commands.
    void EndCommand() { unanswered_ = false; }

private:
    using Attempt = std::function<Result()>;
    // Runs attempt on a ready connection, with the rules above.
    Result Run(bool relative, bool safe, const Attempt& attempt);
    // Reconnects when needed and enters the remembered directory for a relative request.
    Result Ready(bool relative);
    Result LogIn();
    Result SetType(char type);
    Result Exchange(const QByteArray& command);
    Result FromNet(NetFailure failure, const FtpReply& reply);
    Result FromTransfer(const ActiveTransfer::Outcome& outcome);
    ActiveTransfer::Bounds TransferBounds() const;
    void MarkUnanswered(const Result& failure);

    ControlConnection control_;
    Login login_;
    Timeouts timeouts_;
    QByteArray remembered_;        // the directory last entered; empty: the login directory
    bool rememberedKnown_ = true;  // false after a relative change the controller did not report
    bool inRemembered_ = false;    // the connection is in the remembered directory
    char type_ = 0;                // the connection's transfer type; 0: not set
    bool unanswered_ = false;      // see the class comment
    Result unansweredFailure_;     // the failure that set it
    QObject latchContext_;         // lifts unanswered_ from the event loop
};

// Whether a path names its place from the root ("/rfa\cfg") rather than from the current
// directory.
inline bool IsAbsoluteRemotePath(const QByteArray& path) {
    return path.startsWith('/');
}
