#pragma once

#include <QString>

#include "setfile/MessageEntry.h"

// A wave file offered as the next message of a set, as the page's ">" and the command-line tool
// take it: refused when the set is full, when its file name (in lower case, with its extension,
// as the folder tree shows it) breaks the name rule, when it is not the supported wave format or
// cannot be read, and otherwise made into a message named after the file with its length clamped
// to 32 bits. The callers word the refusals.
struct WaveEntry {
    enum class Problem {
        None,
        SetFull,            // the set already holds the most messages a set file can
        NameRule,           // the file name is longer than 16 bytes or contains "~"
        UnsupportedFormat,  // readable, another format; formatText tells which
        Unreadable,         // too short to hold a format, or cannot be read
        NotOpened,          // the format was read, but the file could not be opened again
        NotAFile,           // a pipe, a device or a folder; formatText tells so
    };

    Problem problem = Problem::None;
    MessageEntry entry;  // the message, for Problem::None
    QString formatText;  // the user's text for Problem::UnsupportedFormat and NotAFile

    bool Ok() const { return problem == Problem::None; }

    // Examines wavePath for a set that holds messagesInSet messages.
    static WaveEntry FromFile(const QString& wavePath, qsizetype messagesInSet);
};
