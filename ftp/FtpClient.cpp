#include "ftp/FtpClient.h"

#include <QHostAddress>
#include <QMetaObject>

#include "ftp/ReceivedSizeCheck.h"

namespace {

// The argument of a command line ("" for none).
QByteArray ArgumentOf(const QByteArray& command) {
    const qsizetype blank = command.indexOf(' ');
    return blank < 0 ? QByteArray() : command.mid(blank + 1);
}

// A 257 reply's directory, or none when it holds a CR, LF or NUL (it could never be sent back).
QByteArray RememberablePath(const FtpReply& reply) {
    const QByteArray path = reply.QuotedPath();
    return HoldsLineBreak(path) ? QByteArray() : path;
}

FtpClient::Result Failed(FtpClient::Failure failure) {
    FtpClient::Result result;
    result.failure = failure;
    return result;
}

}  // namespace

FtpClient::Result FtpClient::Open(const Login& login) {
    control_.Close();
    login_ = login;
    remembered_.clear();
    rememberedKnown_ = true;
    unanswered_ = false;
    if (QHostAddress(login.host).protocol() == QAbstractSocket::IPv6Protocol) {
        return Failed(Failure::NotIpv4);  // PORT names IPv4 addresses only
    }
    Result result = LogIn();
    if (!result.Ok()) {
        control_.Close();
        return result;
    }
    result = Exchange("PWD");
    if (!result.Ok() && result.failure != Failure::Refused) {
        control_.Close();
        return result;
    }
    remembered_ = result.reply.code == 257 ? RememberablePath(result.reply) : QByteArray();
    inRemembered_ = true;
    return {};
}

void FtpClient::Close() {
    if (control_.IsOpen() && !unanswered_ && !control_.HasUnsolicitedInput()) {
        FtpReply reply;  // the answer to QUIT is waited for briefly, and only for politeness
        (void)control_.Exchange("QUIT", &reply,
                                QDeadlineTimer(std::min<std::chrono::milliseconds>(
                                    timeouts_.reply, std::chrono::milliseconds(2000))));
    }
    control_.Close();
    login_ = {};
    remembered_.clear();
    rememberedKnown_ = true;
}

FtpClient::Result FtpClient::LogIn() {
    FtpReply greeting;
    const NetFailure failure =
        control_.Open(login_.host, login_.port, timeouts_.connect, timeouts_.reply, &greeting);
    if (failure != NetFailure::None) {
        Result result = FromNet(failure, greeting);
        result.systemError = control_.SystemError();
        return result;
    }
    if (greeting.code != 220) {
        Result result = FromNet(NetFailure::None, greeting);
        if (result.Ok()) {
            result.failure = Failure::Refused;
        }
        return result;
    }
    Result result = Exchange("USER " + login_.user);
    if (result.Ok() && result.reply.code == 331) {
        result = Exchange("PASS " + login_.password);
    }
    if ((result.Ok() || result.failure == Failure::Refused) && result.reply.code != 230 &&
        result.reply.code != 202) {
        result.failure = Failure::LoginRefused;
    }
    type_ = 0;
    inRemembered_ = remembered_.isEmpty() && rememberedKnown_;  // the login directory
    return result;
}

FtpClient::Result FtpClient::Exchange(const QByteArray& command) {
    FtpReply reply;
    const NetFailure failure = control_.Exchange(command, &reply, QDeadlineTimer(timeouts_.reply));
    return FromNet(failure, reply);
}

FtpClient::Result FtpClient::FromNet(NetFailure failure, const FtpReply& reply) {
    Result result;
    result.reply = reply;
    // A command refused before it was sent leaves the connection as it was.
    result.inStep =
        (failure == NetFailure::None || failure == NetFailure::BadCommand) && reply.code != 421;
    switch (failure) {
        case NetFailure::None:
            if (reply.code == 421) {
                result.failure = Failure::SessionClosed;
            } else if (reply.code >= 400) {
                result.failure = Failure::Refused;
            }
            break;
        case NetFailure::Unreachable:
            result.failure = Failure::Unreachable;
            break;
        case NetFailure::TimedOut:
            result.failure = Failure::NoAnswer;
            break;
        case NetFailure::Closed:
            result.failure = Failure::ConnectionLost;
            break;
        case NetFailure::Cancelled:
            result.failure = Failure::Stopped;
            break;
        case NetFailure::NotUnderstood:
            result.failure = Failure::NotUnderstood;
            break;
        case NetFailure::OutOfStep:
            // An idle "421" that came between the steps of a request is still the session closing.
            result.failure = reply.code == 421 ? Failure::SessionClosed : Failure::OutOfStep;
            break;
        case NetFailure::BadCommand:
            result.failure = Failure::BadCommand;
            break;
    }
    return result;
}

FtpClient::Result FtpClient::FromTransfer(const ActiveTransfer::Outcome& outcome) {
    using DataFailure = ActiveTransfer::DataFailure;
    Result result = FromNet(outcome.control, outcome.reply);
    result.bytes = outcome.bytes;
    result.started = outcome.started;
    result.inStep = outcome.ControlInStep();
    if (outcome.control != NetFailure::None) {
        return result;
    }
    switch (outcome.data) {
        case DataFailure::None:
            if (result.Ok() && !outcome.reply.IsPositive()) {
                result.failure = Failure::Refused;
            }
            break;
        case DataFailure::NotOpened:
            result.failure = Failure::DataNotOpened;
            break;
        case DataFailure::Lost:
            result.failure = Failure::DataLost;
            result.systemError = outcome.systemError;
            break;
        case DataFailure::Stalled:
            result.failure = Failure::DataStalled;
            break;
        case DataFailure::TooLarge:
            result.failure = Failure::DataTooLarge;
            break;
        case DataFailure::Stopped:
            result.failure = Failure::Stopped;
            break;
    }
    if (outcome.finalCame && outcome.reply.code == 421) {
        result.failure = Failure::SessionClosed;
    }
    return result;
}

ActiveTransfer::Bounds FtpClient::TransferBounds() const {
    ActiveTransfer::Bounds bounds;
    bounds.reply = timeouts_.reply;
    bounds.inactivity = timeouts_.reply;
    return bounds;
}

void FtpClient::MarkUnanswered(const Result& failure) {
    if (unanswered_) {
        return;
    }
    unanswered_ = true;
    unansweredFailure_ = failure;
    QMetaObject::invokeMethod(
        &latchContext_, [this] { unanswered_ = false; }, Qt::QueuedConnection);
}

FtpClient::Result FtpClient::Ready(bool relative) {
    if (control_.IsOpen() && control_.HasUnsolicitedInput()) {
        control_.Close();  // an idle "421", a late reply: this connection is done with
    }
    if (!control_.IsOpen()) {
        Result result = LogIn();
        if (!result.Ok()) {
            control_.Close();
            result.inStep = false;
            return result;
        }
    }
    if (relative && !inRemembered_) {
        if (!rememberedKnown_) {
            return Failed(Failure::DirectoryUnknown);
        }
        Result result = Exchange("CWD " + remembered_);
        if (result.Ok() && !result.reply.IsPositive()) {
            result.failure = Failure::Refused;
        }
        if (result.failure == Failure::Refused) {
            result.failure = Failure::DirectoryLost;
        }
        if (!result.Ok()) {
            return result;
        }
        inRemembered_ = true;
    }
    return {};
}

FtpClient::Result FtpClient::Run(bool relative, bool safe, const Attempt& attempt) {
    if (unanswered_) {
        return unansweredFailure_;
    }
    for (int round = 0;; ++round) {
        Result result = Ready(relative);
        const bool readied = result.Ok();
        if (readied) {
            result = attempt();
        }
        if (!result.inStep) {
            control_.Close();
        }
        const bool noAnswer =
            result.failure == Failure::NoAnswer || result.failure == Failure::DataStalled ||
            (result.failure == Failure::DataNotOpened && !result.inStep) ||
            (!readied && !result.inStep && result.failure != Failure::LoginRefused &&
             result.failure != Failure::SessionClosed);
        if (noAnswer) {
            MarkUnanswered(result);  // nothing more for this command
        }
        const bool repeatable = !readied || (safe && !result.dataMoved);
        if (result.failure == Failure::SessionClosed && repeatable && round == 0) {
            continue;
        }
        return result;
    }
}

FtpClient::Result FtpClient::SetType(char type) {
    if (type_ == type) {
        return {};
    }
    Result result = Exchange(QByteArray("TYPE ") + type);
    if (result.Ok() && !result.reply.IsPositive()) {
        result.failure = Failure::Refused;
    }
    if (result.Ok()) {
        type_ = type;
    }
    return result;
}

FtpClient::Result FtpClient::Command(const QByteArray& command) {
    const QByteArray verb = command.left(command.indexOf(' ')).toUpper();
    const bool safe = verb == "PWD" || verb == "CWD" || verb == "SIZE" || verb == "TYPE";
    return Run(!IsAbsoluteRemotePath(ArgumentOf(command)), safe, [&] {
        Result result = Exchange(command);
        if (result.Ok() && !result.reply.IsPositive()) {
            result.failure = Failure::Refused;
        }
        return result;
    });
}

FtpClient::Result FtpClient::ChangeDirectory(const QByteArray& path) {
    const bool relative = !IsAbsoluteRemotePath(path);
    return Run(relative, true, [&] {
        Result changed = Exchange("CWD " + path);
        if (changed.Ok() && !changed.reply.IsPositive()) {
            changed.failure = Failure::Refused;
        }
        if (!changed.Ok()) {
            return changed;
        }
        const Result reported = Exchange("PWD");
        const QByteArray directory = reported.Ok() && reported.reply.code == 257
                                         ? RememberablePath(reported.reply)
                                         : QByteArray();
        // A relative change the controller does not report leaves the directory unknown: after
        // a reconnection, relative names then fail rather than run somewhere else.
        rememberedKnown_ = !directory.isEmpty() || !relative;
        remembered_ = !directory.isEmpty() ? directory : relative ? QByteArray() : path;
        inRemembered_ = true;
        return reported.Ok() || reported.failure == Failure::Refused ? changed : reported;
    });
}

FtpClient::Result FtpClient::ReadDirectory(QByteArray* directory) {
    directory->clear();
    return Run(true, true, [&] {
        Result result = Exchange("PWD");
        if (result.Ok() && result.reply.code != 257) {
            result.failure = Failure::Refused;
        }
        if (result.Ok()) {
            *directory = RememberablePath(result.reply);
            if (!directory->isEmpty()) {
                remembered_ = *directory;
                rememberedKnown_ = true;
            } else if (HoldsLineBreak(result.reply.QuotedPath())) {
                result.failure = Failure::DirectoryUnknown;  // a path that cannot be sent back
            }
        }
        return result;
    });
}

FtpClient::Result FtpClient::List(const QByteArray& argument, qint64 maxBytes,
                                  QByteArray* listing) {
    const bool relative = argument.isEmpty() || !IsAbsoluteRemotePath(argument);
    return Run(relative, true, [&] {
        listing->clear();
        ActiveTransfer::Bounds bounds = TransferBounds();
        bounds.total = timeouts_.listing;
        bounds.maxBytes = maxBytes;
        ActiveTransfer transfer(control_, bounds, {});
        const auto outcome =
            transfer.Receive(argument.isEmpty() ? QByteArray("LIST") : "LIST " + argument,
                             [&](const char* data, qint64 size) {
                                 listing->append(data, size);
                                 return true;
                             });
        return FromTransfer(outcome);
    });
}

FtpClient::Result FtpClient::Retrieve(const QByteArray& name, char type, qint64 listedSize,
                                      const ActiveTransfer::Sink& sink, const NetTick& tick) {
    return Run(!IsAbsoluteRemotePath(name), true, [&] {
        Result result = SetType(type);
        if (!result.Ok()) {
            return result;
        }
        const bool ascii = type == 'A';
        qint64 expected = listedSize;
        if (!ascii) {  // sizes count bytes only in binary
            const Result size = Exchange("SIZE " + name);
            if (!size.Ok() && size.failure != Failure::Refused) {
                return size;
            }
            bool valid = false;
            const qint64 value = size.reply.text.mid(4).trimmed().toLongLong(&valid);
            if (size.reply.code == 213 && valid && value >= 0) {
                expected = value;
            }
        }
        ReceivedSizeCheck check(expected, ascii);
        ActiveTransfer transfer(control_, TransferBounds(), tick);
        result = FromTransfer(transfer.Receive("RETR " + name, [&](const char* data, qint64 size) {
            return check.Take(data, size) && sink(data, size);
        }));
        result.expected = expected;
        result.dataMoved = result.bytes > 0;
        if (check.TooMany()) {
            result.failure = Failure::TooManyBytes;
        } else if (result.Ok() && !check.Fits()) {
            result.failure = Failure::SizeMismatch;
        }
        return result;
    });
}

FtpClient::Result FtpClient::Store(const QByteArray& name, char type,
                                   const ActiveTransfer::Source& source, const NetTick& tick) {
    return Run(!IsAbsoluteRemotePath(name), true, [&] {
        Result result = SetType(type);
        if (!result.Ok()) {
            return result;
        }
        bool used = false;
        ActiveTransfer transfer(control_, TransferBounds(), tick);
        result = FromTransfer(transfer.Send("STOR " + name, [&](char* data, qint64 size) {
            used = true;
            return source(data, size);
        }));
        result.dataMoved = used;
        return result;
    });
}
