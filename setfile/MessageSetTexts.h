#pragma once

#include <QString>
#include <QStringList>

// The messages of the message set model, its set file and its info file, worded once for the
// files, the page and the tools.
namespace message_set_texts {

using namespace Qt::StringLiterals;

inline QString NameRule() {
    return u"Messages names may not contain the ~ sign\n and may not be longer than 16 characters."_s;
}
// The refusal of a message beyond the limit (limit: 1023).
inline QString TooManyMessages(int limit) {
    return u"Exceeding maximum number of messages (%1). File ignored."_s.arg(limit);
}

// Info file.
inline QString InfoFileNotWritable(const QString& path) {
    return u"File could not be opened '"_s + path + u"'"_s;
}
inline QString InfoFileNotReadable(const QString& path) {
    return u"File could not be opened or found: "_s + path;
}
inline QString WaveFileMissing(const QString& path) {
    return u"The wav file '"_s + path +
           u"' does not exist\n and will be removed from the 'info' file"_s;
}

// Set file build.
inline QString Adding(const QString& path) {
    return u"Adding: "_s + path;
}
inline QString CalculatingCrc() {
    return u"Calculating CRC value."_s;
}
inline QString CouldNotCreate(const QString& path) {
    return u"Could not create file: "_s + path;
}
inline QString CouldNotOpen(const QString& path) {
    return u"Could not open file: "_s + path;
}
inline QString Interrupted() {
    return u"Message set creation interrupted by user."_s;
}
inline QString WaveTooShort(const QString& path) {
    return u"The wav file '"_s + path + u"' is shorter than a wave file header (36 bytes)."_s;
}
inline QString TooManyEntries(int count, int limit) {
    return u"The message set has %1 messages; a message set file holds at most %2."_s.arg(count)
        .arg(limit);
}
inline QString NameTooLong(const QString& name, int limit) {
    return u"The name '%1' is longer than %2 bytes and does not fit into a message set file."_s.arg(
        name, QString::number(limit));
}
inline QString NamesTooLong(int limit) {
    return u"The names of the message set take more than %1 bytes and do not fit into a message "
           "set file."_s.arg(limit);
}
inline QString SetTooLarge() {
    return u"The message set is larger than 4 GB and does not fit into a message set file."_s;
}
inline QString CouldNotRead(const QString& path, const QString& reason) {
    return u"Could not read file: "_s + path + u"\n"_s + reason;
}
inline QString CouldNotWrite(const QString& path) {
    return u"Could not write file: "_s + path;
}

// A set shown from its set file alone (info file missing, unreadable or naming lost waves): the
// page's status line, and its extraction into wave files.
// existing: the files in the way, already cut to a readable list.
// Sound files of other formats, converted into a copy that can be added.
}  // namespace message_set_texts
