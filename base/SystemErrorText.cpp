#include "base/SystemErrorText.h"

#include <system_error>

using namespace Qt::StringLiterals;

QString SystemErrorText(int errorCode) {
    const std::string message = std::generic_category().message(errorCode);
    // Unknown numbers come back as "Unknown error N": the system has no text for them.
    if (message.rfind("Unknown error", 0) == 0) {
        return {};
    }
    return QString::fromLocal8Bit(message.data(), static_cast<qsizetype>(message.size()));
}
