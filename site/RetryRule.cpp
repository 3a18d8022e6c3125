#include "site/RetryRule.h"

namespace retry_rule {

using Ftp = FtpClient::Failure;

Failure Classify(const FtpClient::Result& result) {
    switch (result.reply.code) {
        case 421:
            return Failure::Closing421;
        case 425:
            return Failure::DataNotOpened;
        case 426:
            return Failure::DataLost;
        case 452:
        case 552:
            return Failure::StorageFull;
        case 550:
        case 553:
            if (result.failure == Ftp::Refused) {
                return Failure::FileRefused;
            }
            break;
        default:
            break;
    }
    switch (result.failure) {
        case Ftp::Unreachable:
            return Failure::NoConnection;
        case Ftp::NoAnswer:
            return Failure::NoAnswer;
        case Ftp::ConnectionLost:
        case Ftp::OutOfStep:  // the client closed a connection whose replies went out of step
            return Failure::ConnectionLost;
        case Ftp::SessionClosed:
            return Failure::Closing421;
        case Ftp::DataNotOpened:
            return Failure::DataNotOpened;
        case Ftp::DataLost:
        case Ftp::SizeMismatch:
            return Failure::DataLost;
        case Ftp::DataStalled:
            return Failure::DataStalled;
        case Ftp::LoginRefused:
            return Failure::LoginRefused;
        default:  // a refusal of another kind, not FTP, a lost directory, a cancel
            break;
    }
    return Failure::Other;
}

bool IsTransient(Failure failure) {
    for (const Row& row : kTable) {
        if (row.failure == failure) {
            return row.transient;
        }
    }
    return false;
}

QString Describe(Failure failure) {
    for (const Row& row : kTable) {
        if (row.failure == failure) {
            return QString::fromUtf16(row.what);
        }
    }
    return {};
}

}  // namespace retry_rule
