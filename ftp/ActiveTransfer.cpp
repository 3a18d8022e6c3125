#include "ftp/ActiveTransfer.h"

#include <QHostAddress>
#include <array>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Bytes taken from the data connection per call, and handed to it per source call.
constexpr qint64 kReceiveChunk = 256 * 1024;
constexpr qint64 kSendChunk = 4 * 40960;

// The PORT argument "h1,h2,h3,h4,p1,p2" for an IPv4 address; empty for any other.
QByteArray PortArgument(const QString& address, quint16 port) {
    bool isIpv4 = false;
    const quint32 ipv4 = QHostAddress(address).toIPv4Address(&isIpv4);
    if (!isIpv4) {
        return {};
    }
    return QByteArray::number((ipv4 >> 24) & 0xFF) + ',' + QByteArray::number((ipv4 >> 16) & 0xFF) +
           ',' + QByteArray::number((ipv4 >> 8) & 0xFF) + ',' + QByteArray::number(ipv4 & 0xFF) +
           ',' + QByteArray::number(port >> 8) + ',' + QByteArray::number(port & 0xFF);
}

}  // namespace

bool ActiveTransfer::Outcome::ControlInStep() const {
    if (control != NetFailure::None || controlEnded || !finalCame || reply.code == 421) {
        return false;
    }
    // A refusal answered in time ("550", a "425" before the accept bound) leaves it in step; a
    // data connection that broke, stalled or was stopped does not.
    return data == DataFailure::None || (data == DataFailure::NotOpened && !reply.IsPositive());
}

ActiveTransfer::Outcome ActiveTransfer::Receive(const QByteArray& command, const Sink& sink) {
    return Run(command, &sink, nullptr);
}

ActiveTransfer::Outcome ActiveTransfer::Send(const QByteArray& command, const Source& source) {
    return Run(command, nullptr, &source);
}

bool ActiveTransfer::OpenListener(NetSocket& listener, Outcome* outcome) {
    const QString local = control_.Socket().LocalAddress();
    const QByteArray argument =
        listener.Listen(local) ? PortArgument(local, listener.LocalPort()) : QByteArray();
    if (argument.isEmpty()) {
        outcome->data = DataFailure::NotOpened;
        return false;
    }
    outcome->control =
        control_.Exchange("PORT " + argument, &outcome->reply, QDeadlineTimer(bounds_.reply));
    if (outcome->control != NetFailure::None) {
        return false;
    }
    if (!outcome->reply.IsPositive()) {
        outcome->finalCame = true;
        outcome->portRefused = true;
        return false;
    }
    return true;
}

bool ActiveTransfer::TakeReplies(Outcome* outcome, bool* preliminaryCame) {
    while (true) {
        FtpReply reply;
        bool got = false;
        const NetFailure failure = control_.Poll(&reply, &got);
        if (failure != NetFailure::None) {
            outcome->control = failure;
            outcome->reply = failure == NetFailure::OutOfStep ? control_.Unsolicited() : reply;
            return false;
        }
        if (!got) {
            break;
        }
        if (reply.IsPreliminary()) {
            *preliminaryCame = true;
            outcome->started = true;
        } else {
            outcome->reply = reply;
            outcome->finalCame = true;
        }
    }
    if (control_.Ended()) {
        if (!outcome->finalCame) {
            outcome->control = NetFailure::Closed;
            return false;
        }
        outcome->controlEnded = true;  // after its answer: no longer watched
    }
    return true;
}

NetSocket ActiveTransfer::AcceptFromController(NetSocket& listener) {
    const QString controller = control_.Socket().PeerAddress();
    while (true) {
        NetSocket connection = listener.Accept();
        if (!connection.IsOpen()) {
            return connection;
        }
        const QString peer = connection.PeerAddress();
        if (!controller.isEmpty() && peer == controller) {
            return connection;
        }
        connection.Reset();
        control_.Transcript().Note(
            u"Closed a data connection from %1: only the controller (%2) may open it."_s.arg(
                peer, controller));
    }
}

ActiveTransfer::Outcome ActiveTransfer::Run(const QByteArray& command, const Sink* sink,
                                            const Source* source) {
    Outcome outcome;
    NetSocket listener;
    if (!OpenListener(listener, &outcome)) {
        return outcome;
    }
    outcome.control = control_.Send(command, QDeadlineTimer(bounds_.reply));
    if (outcome.control != NetFailure::None) {
        if (outcome.control == NetFailure::OutOfStep) {
            outcome.reply = control_.Unsolicited();
        }
        return outcome;
    }
    const QDeadlineTimer firstReplyDeadline(bounds_.reply);
    const QDeadlineTimer acceptDeadline(bounds_.reply);
    const QDeadlineTimer totalDeadline = bounds_.total.count() > 0
                                             ? QDeadlineTimer(bounds_.total)
                                             : QDeadlineTimer(QDeadlineTimer::Forever);
    QDeadlineTimer activityDeadline(bounds_.inactivity);
    QDeadlineTimer finalDeadline(QDeadlineTimer::Forever);

    NetSocket data;
    NetSocket unwatched;  // stands in for a socket no longer waited on
    bool preliminaryCame = false;
    bool dataEnded = false;
    bool closing = false;  // send: our side has ended; the controller's end is awaited
    qint64 unsent = -1;    // send: bytes the controller had not acknowledged at the last look
    std::vector<char> buffer(static_cast<size_t>(sink != nullptr ? kReceiveChunk : kSendChunk));
    qint64 pending = 0;  // send: bytes of buffer not yet sent, from offset
    qint64 offset = 0;
    const auto endData = [&] {
        dataEnded = true;
        data.Close();
        finalDeadline.setRemainingTime(bounds_.reply);
    };

    while (!(outcome.finalCame && !outcome.reply.IsPositive()) &&
           !(dataEnded && outcome.finalCame)) {
        const bool moving = data.IsOpen() && !dataEnded;
        // The file is read only once the controller took the command: a refused STOR (or a
        // "421" to it) leaves the source untouched, so the request can be repeated.
        if (moving && source != nullptr && !closing && pending == 0 && preliminaryCame) {
            const qint64 count = (*source)(buffer.data(), kSendChunk);
            if (count < 0) {
                outcome.data = DataFailure::Stopped;
                break;
            }
            if (count == 0) {
                data.ShutdownWrite();  // the controller reads the end of the file
                closing = true;
                activityDeadline.setRemainingTime(bounds_.inactivity);
                continue;
            }
            pending = count;
            offset = 0;
        }
        if (moving && source != nullptr && pending > 0) {
            const qint64 sent = data.Send(buffer.data() + offset, pending);
            if (sent == NetSocket::kFailed) {
                outcome.data = DataFailure::Lost;
                outcome.systemError = data.ErrorCode();
                break;
            }
            if (sent > 0) {
                offset += sent;
                pending -= sent;
                outcome.bytes += sent;
                activityDeadline.setRemainingTime(bounds_.inactivity);
                continue;
            }
        }

        std::array<NetSocket::Wait, 3> waits;
        size_t count = 0;
        const size_t controlIndex = count;
        // A control connection that ended is no longer looked at: a hang-up would end every wait.
        waits[count++] = {outcome.controlEnded ? &unwatched : &control_.Socket(),
                          !outcome.controlEnded, false};
        const size_t listenerIndex = count;
        waits[count++] = {&listener, !data.IsOpen() && !dataEnded, false};
        const size_t dataIndex = count;
        waits[count++] = {&data, moving && (sink != nullptr || closing), moving && pending > 0};
        const WaitResult waited =
            WaitForSockets(std::span(waits.data(), count), QDeadlineTimer(kTickInterval), {});
        if (waited == WaitResult::Failed) {
            outcome.control = NetFailure::Closed;
            break;
        }
        if (!dataEnded && tick_ && !tick_()) {
            outcome.data = DataFailure::Stopped;
            break;
        }
        if (waits[controlIndex].readable && !TakeReplies(&outcome, &preliminaryCame)) {
            break;
        }
        if (waits[listenerIndex].readable) {
            data = AcceptFromController(listener);
            if (data.IsOpen()) {
                listener.Close();
                outcome.started = true;
                activityDeadline.setRemainingTime(bounds_.inactivity);
            }
        }
        if (waits[dataIndex].readable) {
            qint64 received = 0;
            while ((received = data.Receive(buffer.data(), static_cast<qint64>(buffer.size()))) >
                   0) {
                if (sink == nullptr) {
                    continue;  // what the controller writes on a STOR's connection is dropped
                }
                outcome.bytes += received;
                activityDeadline.setRemainingTime(bounds_.inactivity);
                if (bounds_.maxBytes >= 0 && outcome.bytes > bounds_.maxBytes) {
                    outcome.data = DataFailure::TooLarge;
                    break;
                }
                if (!(*sink)(buffer.data(), received)) {
                    outcome.data = DataFailure::Stopped;
                    break;
                }
            }
            if (outcome.data != DataFailure::None) {
                break;
            }
            if (received == 0) {
                endData();
            } else if (received == NetSocket::kFailed) {
                outcome.data = DataFailure::Lost;
                outcome.systemError = data.ErrorCode();
                break;
            }
        } else if (waits[dataIndex].failed && moving && !waits[dataIndex].writable) {
            outcome.data = DataFailure::Lost;  // broke while nothing was asked of it
            outcome.systemError = data.ErrorCode();
            break;
        }
        if (source != nullptr && data.IsOpen() && !dataEnded) {
            // Bytes the controller acknowledges are data moving, even while none can be sent.
            const qint64 now = data.UnsentBytes();
            if (now >= 0 && unsent >= 0 && now < unsent) {
                activityDeadline.setRemainingTime(bounds_.inactivity);
            }
            unsent = now;
        }
        // The controller took every byte and said so: its own end need not be awaited.
        if (closing && !dataEnded && unsent <= 0 && outcome.finalCame &&
            outcome.reply.IsPositive()) {
            endData();
        }

        if (!preliminaryCame && !outcome.finalCame && firstReplyDeadline.hasExpired()) {
            outcome.control = NetFailure::TimedOut;
            break;
        }
        if (!data.IsOpen() && !dataEnded && acceptDeadline.hasExpired()) {
            outcome.data = DataFailure::NotOpened;
            break;
        }
        if (data.IsOpen() && !dataEnded && activityDeadline.hasExpired()) {
            if (closing && unsent <= 0) {
                endData();  // every byte arrived; the controller keeps its side open
            } else {
                outcome.data = DataFailure::Stalled;
                break;
            }
        }
        if (dataEnded && !outcome.finalCame && finalDeadline.hasExpired()) {
            outcome.control = NetFailure::TimedOut;
            break;
        }
        if (totalDeadline.hasExpired()) {
            outcome.data = DataFailure::TooLarge;
            break;
        }
    }
    if (data.IsOpen()) {
        data.Reset();  // the controller sees a broken transfer, never a complete one
    }
    if (outcome.data == DataFailure::Lost && !outcome.finalCame &&
        outcome.control == NetFailure::None) {
        // The controller says why it broke the connection ("426", "552"): read it for the text.
        const QDeadlineTimer deadline(bounds_.reply);
        FtpReply reply;
        NetFailure failure = NetFailure::None;
        while ((failure = control_.Read(&reply, deadline)) == NetFailure::None &&
               reply.IsPreliminary()) {
        }
        if (failure == NetFailure::None) {
            outcome.reply = reply;
            outcome.finalCame = true;
        }
    }
    // A reply that came after the final one, while the data went on, answers nothing sent.
    if (outcome.finalCame && outcome.control == NetFailure::None && !outcome.controlEnded &&
        control_.IsOpen()) {
        FtpReply ignored;
        bool got = false;
        if (control_.Poll(&ignored, &got) == NetFailure::OutOfStep) {
            outcome.control = NetFailure::OutOfStep;
            outcome.reply = control_.Unsolicited();
        } else if (control_.Ended()) {
            outcome.controlEnded = true;
        }
    }
    return outcome;
}
