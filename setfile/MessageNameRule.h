#pragma once

#include <QString>

// The rule for the names of messages entered on the page, and the name an added wave file gets.
namespace message_name_rule {

// The most bytes a name entered on the page may have.
inline constexpr int kMaxNameLength = 16;

// A name is refused when it is longer than 16 bytes or contains "~".
bool IsAcceptableName(const QString& name);

// The name of an added message: the file name of wavePath in lower case without its last four
// characters (".wav"): "/home/x/Fire Alarm.WAV" gives "fire alarm". Directory separators are the
// platform's.
QString NameForWaveFile(const QString& wavePath);

}  // namespace message_name_rule
