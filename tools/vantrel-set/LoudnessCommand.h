#pragma once

#include <QStringList>

// vantrel-set loudness [--json FILE] FILE...: measures each message of the given wave files (any
// sound file the decoder reads, its channels mixed down to one) and set files (each of their
// messages, from the bytes the set keeps) and prints one row per message: name, duration,
// integrated loudness, maximum momentary loudness, true peak and the difference from the median
// of all rows; then the spread. --json FILE writes the same as JSON into FILE ("-": standard
// output, instead of the table). arguments are those after "loudness". Returns the exit status:
// failed when any file or message could not be measured.
int RunLoudnessCommand(const QStringList& arguments);
