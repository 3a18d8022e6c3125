#pragma once

#include <QString>
#include <QStringList>

#include <cmath>

#include "audio/LoudnessTexts.h"
#include "setfile/MessageSetTexts.h"

// The message set page's own messages: its questions, a set shown from its set file, the
// extraction of a set, the import of sound files of other formats and the loudness of messages.
namespace message_set_texts {

using namespace Qt::StringLiterals;

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

// The title of the progress window of a set file build.
inline QString CreatingTitle(const QString& path) {
    return u"Creating: "_s + path;
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

// The Loudness column, the spread line under the list and "Match loudness...".
inline QString LoudnessPending() {
    return u"..."_s;
}
inline QString LoudnessBeingMeasured() {
    return u"Being measured"_s;
}
inline QString LoudnessUnreadable() {
    return u"unreadable"_s;
}
inline QString LoudnessNotMeasured(const QString& reason) {
    return u"Could not be measured: "_s + reason;
}
// How far a message lies from the set's median; "Marked: " first when it stands out.
inline QString FromMedian(double difference, const QString& median, bool marked) {
    const QString way = difference > 0 ? u"louder"_s : u"quieter"_s;
    return (marked ? u"Marked: "_s : QString()) +
           u"%1 LU %2 than the set's median (%3)"_s.arg(
               loudness_texts::Number(std::abs(difference)), way, median);
}
inline QString LoudnessMeasuringAll() {
    return u"Loudness: measuring..."_s;
}
inline QString LoudnessNoValue() {
    return u"Loudness: no message has a value (too short, silent or unreadable)"_s;
}
inline QString LoudnessMarked(int count) {
    return u"%1 more than 3 LU from the median"_s.arg(count);
}
inline QString LoudnessWithoutValue(int count) {
    return u"%1 without a value (too short, silent or unreadable)"_s.arg(count);
}
inline QString LoudnessMeasuringMore(int count) {
    return u"measuring %1 more..."_s.arg(count);
}
inline QString MeasuringLoudnessTitle() {
    return u"Measuring loudness"_s;
}
inline QString MatchingLoudnessTitle() {
    return u"Matching loudness"_s;
}
inline QString MatchedSummary(int count, const QString& target) {
    return u"Messages matched to %1: %2. The copies are in the folder \"matched\" beside the "
           "originals, and the set now uses them."_s.arg(target)
               .arg(count);
}
inline QString NothingMatched(const QString& target) {
    return u"No message was matched to %1."_s.arg(target);
}
inline QString MatchPeakLimited(const QString& name, double shortfall, const QString& result) {
    return u"%1: the true peak limit of -1 dBTP stopped the gain %2 dB short of the target (now "
           "%3)."_s.arg(name, loudness_texts::Number(shortfall), result);
}
inline QString MatchSkippedTooShort(const QString& name) {
    return u"%1: too short to measure (under 0.4 s); not matched."_s.arg(name);
}
inline QString MatchSkippedSilent(const QString& name) {
    return u"%1: silent; not matched."_s.arg(name);
}
inline QString MatchSkippedUnreadable(const QString& name, const QString& reason) {
    return u"%1: could not be measured (%2); not matched."_s.arg(name, reason);
}
inline QString MatchSkippedCopyInUse(const QString& name, const QString& target) {
    return u"%1: its matched copy would replace %2, which the set uses; not matched."_s.arg(name,
                                                                                            target);
}
inline QString MatchingFiles(int count) {
    return u"Matching the loudness of %1 wave files..."_s.arg(count);
}
inline QString MeasuringFile(const QString& path) {
    return u"Measuring loudness: "_s + path;
}
inline QString MatchCancelled() {
    return u"Matching the loudness was cancelled."_s;
}

}  // namespace message_set_texts
