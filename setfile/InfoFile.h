#pragma once

#include <QString>
#include <QStringList>

#include "setfile/MessageSetModel.h"

// The info file (".nfo") kept beside a message set file: the program that wrote it, the set's file
// path and name, and each message's wave file path and name, so that a saved set can be opened
// again. Written and read through PrivateProfile, the file parsed once per group of values, each
// value as a single read gives it. It shows nothing itself: every problem a read or write meets is
// kept, in the texts of MessageSetTexts.h, for the caller to show.
//
// The page shows its fields in its controls before WriteInfoFile and after ReadInfoFile; both
// functions only touch the model.
class InfoFile {
public:
    static constexpr auto kVersionSection = u"Vantrel Version Info";
    static constexpr auto kSetSection = u"Message Set";
    static constexpr auto kMessagesSection = u"Messages";

    // programName is what the file carries as "AppName" and what ReadInfoFile expects there.
    explicit InfoFile(QString programName);

    // The info file of a set file: its path without the last four characters, then ".nfo".
    static QString PathForSetFile(const QString& setFilePath);

    // Empties (or creates) infoPath, then writes AppName, FileName, Name, Number and for each entry
    // Filename<i> and Name<i>, in this order. On failure returns false with the reason in
    // Problems(); the file is then left empty rather than holding part of the list.
    bool WriteInfoFile(const MessageSetModel& model, const QString& infoPath);

    // Appends the entries infoPath lists to model.entries (the caller empties them first) and
    // takes its set file path and set name when they are not empty. A listed wave file that
    // cannot be opened is named in Problems() and left out; a missing or empty Filename<i> is
    // skipped. False when the file cannot be read (model unchanged) or was written by another
    // program (entries loaded, set name and set file path emptied). Nothing read is checked against
    // the name rule, the message limit or the wave format.
    bool ReadInfoFile(MessageSetModel& model, const QString& infoPath);

    // What the last read or write met that the user should be told, in the order met.
    const QStringList& Problems() const { return problems_; }

private:
    QString programName_;
    QStringList problems_;
};
