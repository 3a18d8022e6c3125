#pragma once

#include <QString>
#include <QStringList>

// The messages of the message set subsystem, worded once for the model, the files and the page.
namespace message_set_texts {

using namespace Qt::StringLiterals;

inline QString NameRule() {
    return u"Messages names may not contain the ~ sign\n and may not be longer than 16 characters."_s;
}
// The page's refusal of a message beyond the limit (limit: 1023).
inline QString TooManyMessages(int limit) {
    return u"Exceeding maximum number of messages (%1). File ignored."_s.arg(limit);
}

// The page's questions and its add of a file that cannot be opened.
inline QString ClearEntireList() {
    return u"Clear entire list?"_s;
}
inline QString SaveChangedSetFirst() {
    return u"The message set has changed. Do you want to save it first?"_s;
}
inline QString CouldNotFind(const QString& path) {
    return u"Could not find file: "_s + path;
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
inline QString CreatingTitle(const QString& path) {
    return u"Creating: "_s + path;
}
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
inline QString ShownFromSetFile(const QString& why, const QString& status) {
    return u"Shown from the set file, as "_s + why + u". "_s + status;
}
inline QString InfoFileUnusable() {
    return u"its info file cannot be read"_s;
}
inline QString WavesOfInfoFileMissing() {
    return u"wave files its info file lists are missing"_s;
}
inline QString ExtractFolderTitle() {
    return u"Extract message set to folder"_s;
}
// existing: the files in the way, already cut to a readable list.
inline QString ReplaceExtractedFiles(const QString& existing) {
    return u"These files already exist:\n"_s + existing + u"\nDo you want to replace them?"_s;
}
inline QString ExtractedWithWarnings(const QStringList& warnings) {
    return u"The message set was extracted with warnings:\n"_s + warnings.join(u'\n');
}
inline QString CouldNotCreateFolder(const QString& path) {
    return u"Could not create folder: "_s + path;
}

// Sound files of other formats, converted into a copy that can be added.
inline QString OfferConvertedCopy(const QString& target) {
    return u"Do you want to add a copy converted to mono, 16 bit, 44.1kHz?\nThe copy is written "
           "to: "_s +
           target;
}
inline QString ReplaceConvertedCopy(const QString& target) {
    return u"The file '"_s + target + u"' already exists.\nDo you want to replace it?"_s;
}
inline QString ConvertingTitle(const QString& source) {
    return u"Converting: "_s + source;
}
inline QString SamplesClipped(qint64 count, const QString& source) {
    return u"%1 samples of %2 were beyond full scale and were clipped."_s.arg(count).arg(source);
}
inline QString ImportAudioTitle() {
    return u"Import audio"_s;
}
inline QString SoundFileFilter() {
    return u"Sound files|*.flac;*.ogg;*.oga;*.opus;*.mp3;*.wav;*.aif;*.aiff|All Files (*.*)|*.*||"_s;
}

}  // namespace message_set_texts
