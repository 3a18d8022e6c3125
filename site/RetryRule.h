#pragma once

#include <QString>
#include <array>

#include "ftp/FtpClient.h"

// Which failures on a controller are tried again. A transient failure (the network or the
// controller was busy for a moment) is tried up to kExtraTries more times, after a pause that
// grows with each try (pause, then twice the pause); a permanent one (the controller said no, or
// the file cannot go there) is not, since the same request would get the same answer. The table
// is the rule; the README shows the same table.
namespace retry_rule {

enum class Failure {
    NoConnection,    // the controller cannot be reached
    NoAnswer,        // a wait for the controller ran out
    ConnectionLost,  // the control connection broke or was closed
    Closing421,      // the controller answered "421" (closing the session)
    DataNotOpened,   // the data connection was not opened ("425")
    DataLost,        // the data connection broke, or brought fewer bytes than announced
    DataStalled,     // no data moved within the bound
    LoginRefused,    // the user name or the password was refused
    FileRefused,     // "550" or "553": no such file, or a name the controller does not take
    StorageFull,     // "552" or "452"
    LargerThanCard,  // a message set longer than the flash card
    Other,           // anything else: another refusal, a local file, a read-back that differs
};

struct Row {
    Failure failure;
    const char16_t* what;  // as the README's table says it
    bool transient;
};

inline constexpr int kExtraTries = 2;

inline constexpr std::array<Row, 12> kTable = {{
    {Failure::NoConnection, u"no connection", true},
    {Failure::NoAnswer, u"no answer in time", true},
    {Failure::ConnectionLost, u"connection lost", true},
    {Failure::Closing421, u"\"421\" (the controller closes the session)", true},
    {Failure::DataNotOpened, u"data connection not opened (\"425\")", true},
    {Failure::DataLost, u"data connection lost", true},
    {Failure::DataStalled, u"data connection stalled", true},
    {Failure::LoginRefused, u"login refused", false},
    {Failure::FileRefused, u"\"550\" / \"553\" (file or name refused)", false},
    {Failure::StorageFull, u"storage full (\"552\")", false},
    {Failure::LargerThanCard, u"larger than the flash card", false},
    {Failure::Other, u"anything else (other refusals, local files, read-back differs)", false},
}};

// The kind of a failed request, from what the controller did (ControllerSession::LastFailure).
Failure Classify(const FtpClient::Result& result);
bool IsTransient(Failure failure);
QString Describe(Failure failure);

}  // namespace retry_rule
