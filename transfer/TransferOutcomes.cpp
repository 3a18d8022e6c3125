#include "transfer/TransferOutcomes.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;

QString TransferOutcomes::MessageFor(const TransferReport& report) {
    static const QString kFailurePrefix =
        u"File transfer did not succeed because of the following reason:\n"_s;
    switch (report.outcome) {
        case Outcome::NotConnected:
            return u"Not connected. Use Login to connect"_s;
        case Outcome::NotFound:
            return kFailurePrefix + u"Selected file could not be found"_s;
        case Outcome::IsDirectory:
            return kFailurePrefix + u"Selected file is a directory"_s;
        case Outcome::NotWebRoot:
            return kFailurePrefix + u"Selected file is not a valid directory"_s;
        case Outcome::CannotOpen:
            return u"Could create file on Zentor"_s;
        case Outcome::LargerThanCard:
            return u"Message set is larger than the flash card"_s;
        case Outcome::Done:
            return u"File transfer completed succesfully"_s;
        case Outcome::Failed:
            return kFailurePrefix + report.reason;
        case Outcome::Cancelled:
            return u"FTP send cancelled by user."_s +
                   (report.reason.isEmpty() ? QString() : u' ' + report.reason);
        case Outcome::NotRegularFile:
            return kFailurePrefix + u"Selected file is not a regular file"_s;
        case Outcome::RefusedName:
            return kFailurePrefix + u"The name '"_s + report.reason +
                   u"' contains \"\\\", which the Network Controller takes as a folder "
                   u"separator. Rename the file and send it again."_s;
    }
    return {};
}

TransferOutcomes::ListsToRefresh TransferOutcomes::After(Direction direction, Outcome outcome) {
    if (direction == Direction::Download) {
        return {.remote = false, .local = true};
    }
    switch (outcome) {
        case Outcome::NotConnected:
        case Outcome::NotFound:
        case Outcome::CannotOpen:
        case Outcome::LargerThanCard:
        case Outcome::NotRegularFile:
        case Outcome::RefusedName:
            return {};  // nothing was tried on the controller
        default:
            return {.remote = true, .local = false};
    }
}
