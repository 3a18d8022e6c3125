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
};

// The control connection: owns its socket and the reply reader, sends commands and reads their
// replies, every wait bounded by the deadline it is given. Records each command and final reply in
// the transcript (the password masked). Once a failure was seen the caller closes it: its replies
// can no longer be trusted to answer the commands sent.
class ControlConnection {
public:
    bool IsOpen() const { return socket_.IsOpen(); }
    // Connects within connectTimeout and reads the greeting within replyTimeout.
    NetFailure Open(const QString& address, quint16 port, std::chrono::milliseconds connectTimeout,
                    std::chrono::milliseconds replyTimeout, FtpReply* greeting);
    void Close();

    // Sends one command line (CRLF is added).
    NetFailure Send(const QByteArray& command, const QDeadlineTimer& deadline);
    // The next reply, preliminary ones included.
    NetFailure Read(FtpReply* reply, const QDeadlineTimer& deadline, const NetTick& tick = {});
    // Sends a command and reads replies until its final one.
    NetFailure Exchange(const QByteArray& command, FtpReply* reply, const QDeadlineTimer& deadline,
                        const NetTick& tick = {});

    // Whether the controller sent something that answers no command, or closed the connection,
    // since the last reply was read (an idle "421", a late reply). Does not wait.
    bool HasUnsolicitedInput();
    // Takes what has arrived without waiting. False when the connection ended or broke.
    bool ReceiveAvailable();
    // A complete reply already received, if any.
    std::optional<FtpReply> TakeReply();

    NetSocket& Socket() { return socket_; }
    int SystemError() const { return socket_.ErrorCode(); }
    FtpTranscript& Transcript() { return transcript_; }

private:
    NetSocket socket_;
    ReplyReader reader_;
    FtpTranscript transcript_;
    bool ended_ = false;  // the controller's side of the stream ended
};
