#pragma once

#include <QString>

// The system's message for an error number (errno), as the system words it; empty when the system
// has no message for it.
QString SystemErrorText(int errorCode);
