#include "controller/FtpFailureText.h"

#include "base/SystemErrorText.h"

using namespace Qt::StringLiterals;
using Failure = FtpClient::Failure;

namespace ftp_failure_text {

namespace {

constexpr qsizetype kMaxErrorLength = 254;

QString Reason(Request request, const FtpClient::Result& result,
               const FtpClient::Timeouts& timeouts, const QString& directory, int systemError) {
    // A reply that answers nothing says nothing about the request.
    if (result.failure == Failure::OutOfStep) {
        return u"the controller sent a reply that answers no request"_s;
    }
    // The controller's own word decides first.
    switch (result.reply.code) {
        case 552:
            return u"the controller's storage is full"_s;
        case 421:
            return u"the controller closed the session"_s;
        case 425:
            return u"the controller could not open the data connection to this PC"_s;
        case 426:
            return u"the controller broke off the transfer"_s;
        default:
            break;
    }
    switch (result.failure) {
        case Failure::None:
            return {};
        case Failure::OutOfStep:  // above
            break;
        case Failure::LoginRefused:
            return u"the controller refused the user name or the password"_s;
        case Failure::Unreachable:
            return u"the controller cannot be reached"_s +
                   (systemError != 0 ? u" (%1)"_s.arg(SystemErrorText(systemError)) : QString());
        case Failure::NoAnswer:
            return u"the controller did not answer in time (connect %1 ms, replies %2 s)"_s
                .arg(timeouts.connect.count())
                .arg(timeouts.reply.count() / 1000.0);
        case Failure::ConnectionLost:
            return u"the connection to the controller was lost"_s;
        case Failure::SessionClosed:
            return u"the controller closed the session"_s;
        case Failure::NotUnderstood:
            return u"the controller gave an answer that is not understood"_s;
        case Failure::BadCommand:
            return u"the request holds a line break or a zero byte, so it was not sent"_s;
        case Failure::NotIpv4:
            return u"only IPv4 controllers are supported"_s;
        case Failure::DirectoryLost:
            return u"after logging in again, the remote directory %1 could not be entered"_s.arg(
                directory);
        case Failure::DirectoryUnknown:
            return u"after logging in again, the remote directory is not known (choose it "
                   u"again)"_s;
        case Failure::DataNotOpened:
            return u"the controller did not open the data connection to this PC within %1 s (a "
                   u"firewall may block incoming connections)"_s.arg(timeouts.reply.count() /
                                                                     1000.0);
        case Failure::DataLost:
            return u"the data connection broke after %1 bytes"_s.arg(result.bytes);
        case Failure::DataStalled:
            return u"no data moved for %1 s"_s.arg(timeouts.reply.count() / 1000.0);
        case Failure::DataTooLarge:
            return u"the listing went beyond its size or time bound"_s;
        case Failure::SizeMismatch:
            return u"the controller sent %1 bytes of a file of %2 bytes"_s.arg(result.bytes)
                .arg(result.expected);
        case Failure::TooManyBytes:
            return u"the controller sent more than the %1 bytes of the file"_s.arg(result.expected);
        case Failure::Stopped:
            return u"the transfer was stopped"_s;
        case Failure::Refused:
            break;
    }
    switch (request) {
        case Request::Upload:
            return u"the controller did not accept the file"_s;
        case Request::Download:
            return u"the controller cannot send that file"_s;
        case Request::Connect:
        case Request::Other:
            break;
    }
    return u"the controller refused the request"_s;
}

}  // namespace

QString Cut(const QString& text) {
    return text.left(kMaxErrorLength);
}

QString IncompleteUpload() {
    return u"The file on the controller may now be incomplete; upload it again before the "
           u"controller uses it."_s;
}

QString WithIncompleteUpload(const QString& text) {
    return Cut(text) + u' ' + IncompleteUpload();
}

QString For(const QString& action, Request request, const FtpClient::Result& result,
            const FtpClient::Timeouts& timeouts, const QString& rememberedDirectory) {
    QString text = action + u": "_s +
                   Reason(request, result, timeouts, rememberedDirectory, result.systemError);
    if (result.failure == Failure::OutOfStep) {
        text += u" (the controller sent \"%1\")"_s.arg(result.reply.LastLine());
    } else if (result.reply.code >= 400 || result.failure == Failure::NotUnderstood) {
        text += u" (the controller answered \"%1\")"_s.arg(result.reply.LastLine());
    }
    return Cut(text + u'.');
}

}  // namespace ftp_failure_text
