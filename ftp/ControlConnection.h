#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <chrono>

#include "ftp/FtpReply.h"
#include "ftp/FtpTranscript.h"
#include "ftp/NetWait.h"
#include "ftp/ReplyReader.h"
#include "ftp/platform/NetSocket.h"

// How a step on the network ended, when it did not end with a reply.
enum class NetFailure {
    None,
    Unreachable,    // the connection could not be made (SystemError() says why)
    TimedOut,       // no answer within the bound
    Closed,         // the controller closed the connection or it broke
    Cancelled,      // the user cancelled while waiting
    NotUnderstood,  // bytes that are not an FTP reply
    OutOfStep,      // a reply that answers nothing sent (Unsolicited() holds it, when whole)
    BadCommand,     // a command holding CR, LF or NUL: nothing was sent
};

// The control connection: owns its socket and the reply reader, sends commands and reads their
// replies, every wait bounded by the deadline it is given. Records each command and final reply in
// the transcript (the password masked).
//
// Every reply is read here, and this class knows whether one is owed: the greeting after Open,
// one final reply (after any number of preliminary 1xx ones) after each command. Whatever answers
// nothing is OutOfStep: bytes that arrive before a command is sent, a reply while none is owed (a
// second final reply), bytes already there behind a final reply. So a reply is never taken as the
// answer of a later command. Once any failure was seen the caller closes the connection: its
// replies can no longer be trusted to answer the commands sent.
class ControlConnection {
public:
    bool IsOpen() const { return socket_.IsOpen(); }
    // Connects within connectTimeout and reads the greeting within replyTimeout.
    NetFailure Open(const QString& address, quint16 port, std::chrono::milliseconds connectTimeout,
                    std::chrono::milliseconds replyTimeout, FtpReply* greeting);
    void Close();

    // Sends one command line (CRLF is added); its reply is then owed. A command holding CR, LF or
    // NUL is refused (BadCommand); anything that arrived unasked refuses it too (OutOfStep, or
    // Closed when the controller ended the connection), and nothing is sent.
    NetFailure Send(const QByteArray& command, const QDeadlineTimer& deadline);
    // The next reply owed, preliminary ones included.
    NetFailure Read(FtpReply* reply, const QDeadlineTimer& deadline, const NetTick& tick = {});
    // Takes what has arrived, without waiting, and the next reply owed if it is complete (*got).
    NetFailure Poll(FtpReply* reply, bool* got);
    // Sends a command and reads replies until its final one. An OutOfStep reply is put into reply.
    NetFailure Exchange(const QByteArray& command, FtpReply* reply, const QDeadlineTimer& deadline,
                        const NetTick& tick = {});

    // Whether the controller sent something that answers no command, or closed the connection,
    // since the last reply was read (an idle "421", a late reply). Does not wait.
    bool HasUnsolicitedInput();
    // Whether the controller's side of the stream has ended.
    bool Ended() const { return ended_; }
    // The last reply that answered nothing.
    const FtpReply& Unsolicited() const { return unsolicited_; }

    NetSocket& Socket() { return socket_; }
    int SystemError() const { return socket_.ErrorCode(); }
    FtpTranscript& Transcript() { return transcript_; }
    const FtpTranscript& Transcript() const { return transcript_; }

private:
    // Takes what has arrived without waiting. False when the connection ended or broke.
    bool ReceiveAvailable();
    // The next complete reply received, if any, recorded in the transcript.
    std::optional<FtpReply> TakeReply();
    // The next reply owed, from what was received; *got false when none is complete.
    NetFailure TakeOwed(FtpReply* reply, bool* got);
    // OutOfStep when bytes wait that answer nothing (the reply they make, if whole, kept).
    NetFailure Stray();

    NetSocket socket_;
    ReplyReader reader_;
    FtpTranscript transcript_;
    FtpReply unsolicited_;
    bool owed_ = false;   // a final reply (the greeting's, or a command's) is owed
    bool ended_ = false;  // the controller's side of the stream ended
};
