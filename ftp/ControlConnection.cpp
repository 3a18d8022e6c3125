#include "ftp/ControlConnection.h"

#include <array>

NetFailure ControlConnection::Open(const QString& address, quint16 port,
                                   std::chrono::milliseconds connectTimeout,
                                   std::chrono::milliseconds replyTimeout, FtpReply* greeting) {
    Close();
    transcript_.Clear();
    if (!socket_.StartConnect(address, port)) {
        return NetFailure::Unreachable;
    }
    std::array<NetSocket::Wait, 1> wait{{{&socket_, false, true}}};
    const WaitResult connected = WaitForSockets(wait, QDeadlineTimer(connectTimeout), {});
    if (connected == WaitResult::TimedOut) {
        Close();
        return NetFailure::TimedOut;
    }
    if (connected != WaitResult::Ready || socket_.ConnectResult() != 0) {
        Close();  // keeps the system's error number for SystemError()
        return NetFailure::Unreachable;
    }
    owed_ = true;  // the greeting
    const QDeadlineTimer deadline(replyTimeout);
    NetFailure failure = NetFailure::None;
    do {
        failure = Read(greeting, deadline);
    } while (failure == NetFailure::None && greeting->IsPreliminary());  // "120 ready in n min"
    return failure;
}

void ControlConnection::Close() {
    socket_.Close();
    reader_.Clear();
    unsolicited_ = {};
    owed_ = false;
    ended_ = false;
}

NetFailure ControlConnection::Send(const QByteArray& command, const QDeadlineTimer& deadline) {
    if (HoldsLineBreak(command)) {
        return NetFailure::BadCommand;
    }
    if (owed_) {
        return NetFailure::OutOfStep;  // the reply to the command before was never read
    }
    const bool open = ReceiveAvailable();
    if (const NetFailure stray = Stray(); stray != NetFailure::None) {
        return stray;
    }
    if (!open) {
        return NetFailure::Closed;
    }
    transcript_.CommandSent(command);
    owed_ = true;
    const QByteArray line = command + "\r\n";
    qsizetype sent = 0;
    while (sent < line.size()) {
        const qint64 count = socket_.Send(line.constData() + sent, line.size() - sent);
        if (count == NetSocket::kFailed) {
            return NetFailure::Closed;
        }
        if (count > 0) {
            sent += count;
            continue;
        }
        std::array<NetSocket::Wait, 1> wait{{{&socket_, false, true}}};
        const WaitResult result = WaitForSockets(wait, deadline, {});
        if (result == WaitResult::TimedOut) {
            return NetFailure::TimedOut;
        }
        if (result != WaitResult::Ready) {
            return NetFailure::Closed;
        }
    }
    return NetFailure::None;
}

bool ControlConnection::ReceiveAvailable() {
    if (ended_) {
        return false;
    }
    std::array<char, 4096> buffer;
    while (true) {
        const qint64 count = socket_.Receive(buffer.data(), buffer.size());
        if (count > 0) {
            reader_.Append(buffer.data(), count);
            continue;
        }
        if (count == NetSocket::kWouldBlock) {
            return true;
        }
        ended_ = true;  // 0: the end of the stream; kFailed: broken
        return false;
    }
}

std::optional<FtpReply> ControlConnection::TakeReply() {
    std::optional<FtpReply> reply = reader_.Take();
    if (reply) {
        transcript_.ReplyReceived(reply->text + "\r\n");
    }
    return reply;
}

NetFailure ControlConnection::Stray() {
    if (!reader_.HasPending()) {
        return NetFailure::None;
    }
    std::optional<FtpReply> stray = TakeReply();
    unsolicited_ = stray ? *stray : FtpReply{0, QByteArrayLiteral("(a part of a reply)")};
    reader_.Clear();
    return NetFailure::OutOfStep;
}

NetFailure ControlConnection::TakeOwed(FtpReply* reply, bool* got) {
    *got = false;
    if (!owed_) {
        return Stray();  // a second final reply, or anything else before the next command
    }
    std::optional<FtpReply> taken = TakeReply();
    if (!taken) {
        return NetFailure::None;
    }
    *got = true;
    *reply = *taken;
    if (taken->code == 0) {
        return NetFailure::NotUnderstood;
    }
    if (taken->IsPreliminary()) {
        return NetFailure::None;
    }
    owed_ = false;
    (void)ReceiveAvailable();  // what came with the final reply answers nothing
    return Stray();
}

NetFailure ControlConnection::Poll(FtpReply* reply, bool* got) {
    (void)ReceiveAvailable();  // the end is seen by the caller (Ended), after what came before it
    return TakeOwed(reply, got);
}

NetFailure ControlConnection::Read(FtpReply* reply, const QDeadlineTimer& deadline,
                                   const NetTick& tick) {
    while (true) {
        bool got = false;
        const NetFailure failure = TakeOwed(reply, &got);
        if (failure != NetFailure::None || got) {
            return failure;
        }
        if (ended_) {
            return NetFailure::Closed;
        }
        std::array<NetSocket::Wait, 1> wait{{{&socket_, true, false}}};
        switch (WaitForSockets(wait, deadline, tick)) {
            case WaitResult::Ready:
                (void)ReceiveAvailable();  // the end is seen above, after what came before it
                break;
            case WaitResult::TimedOut:
                return NetFailure::TimedOut;
            case WaitResult::Cancelled:
                return NetFailure::Cancelled;
            case WaitResult::Failed:
                return NetFailure::Closed;
        }
    }
}

NetFailure ControlConnection::Exchange(const QByteArray& command, FtpReply* reply,
                                       const QDeadlineTimer& deadline, const NetTick& tick) {
    NetFailure failure = Send(command, deadline);
    while (failure == NetFailure::None) {
        failure = Read(reply, deadline, tick);
        if (failure == NetFailure::None && !reply->IsPreliminary()) {
            break;
        }
    }
    if (failure == NetFailure::OutOfStep) {
        *reply = unsolicited_;
    }
    return failure;
}

bool ControlConnection::HasUnsolicitedInput() {
    if (reader_.HasPending() || ended_) {
        return true;
    }
    std::array<NetSocket::Wait, 1> wait{{{&socket_, true, false}}};
    if (!NetSocket::WaitAny(wait, 0)) {
        return true;
    }
    if (!wait[0].readable) {
        return false;
    }
    const bool open = ReceiveAvailable();
    return !open || reader_.HasPending();
}
