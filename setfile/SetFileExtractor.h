#pragma once

#include <QString>
#include <QStringList>

class StoredMessageSet;

// Takes a message set file apart again: writes each message as a wave file (StoredMessageSet) into
// a folder, and an info file that names the set file and lists the waves with their names, so that
// the set opens for editing and rebuilds as it was. A set whose CRC or size does not match is
// extracted all the same, with warnings saying so; a message whose block lies beyond the file's end
// is left out, with a warning.
//
// Nothing is written over an existing file unless the caller allows it: without that permission
// the extraction stops before it writes anything and names the files in the way. Each wave is
// written to a temporary file that replaces its target only when complete.
class SetFileExtractor {
public:
    enum class Outcome {
        Extracted,
        SetNotReadable,      // reason: why
        TargetsExist,        // existing: the files that would be replaced
        FolderNotCreated,    // subject: the folder
        WaveNotWritten,      // subject: the wave file; reason: the system's text
        InfoFileNotWritten,  // subject: the info file; reason: the text for it
    };

    struct Result {
        Outcome outcome = Outcome::Extracted;
        QString subject;
        QString reason;
        QStringList existing;
        QStringList warnings;   // what is wrong with the set; also set on failure when known
        QStringList waveFiles;  // Extracted: the wave files written, in message order
        QString infoPath;       // the info file written (or meant to be)

        bool Ok() const { return outcome == Outcome::Extracted; }
    };

    // programName is what the info file carries as "AppName".
    explicit SetFileExtractor(QString programName) : programName_(std::move(programName)) {}

    // The file name of each message's wave: its name with ".wav", with characters that file
    // systems refuse replaced by "_", "message<i>" for an empty name, made unique (without regard
    // to case) with "_<n>". Unreadable messages get an empty string.
    static QStringList WaveFileNames(const StoredMessageSet& set);

    // Extracts setPath into waveFolder (created when missing) and writes the info file infoPath
    // (normally InfoFile::PathForSetFile(setPath), where the page looks for it).
    Result Extract(const QString& setPath, const QString& waveFolder, const QString& infoPath,
                   bool replaceExisting = false) const;

private:
    QString programName_;
};
