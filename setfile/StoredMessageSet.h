#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "audio/LoudnessMeter.h"
#include "setfile/MessageSetModel.h"
#include "setfile/SetFileReader.h"

class QIODevice;
class QTemporaryFile;

// A message set read from its set file alone, for a set whose info file or wave files are gone:
// the set name, each message's name, the size of the wave file it was built from and where the
// bytes the set keeps of it lie, and whether the stored size and CRC match. Each message can be
// had back as a wave file: the standard 44-byte header, the 12 bytes of sound the set does not
// keep (wave offsets 44 to 55) as silence, then the kept bytes unchanged.
//
// The set file is opened by Open and by each read of a message and closed again: the object holds
// no handle and can outlive changes to the file (a later read then fails with a reason).
class StoredMessageSet {
public:
    struct Message {
        QString name;
        qint64 waveSize = 0;    // the wave file's size: 2 * length value + 20, or + 21 (odd)
        qint64 keptOffset = 0;  // where the kept bytes (wave offset 56 on) lie in the set file
        qint64 keptBytes = 0;   // how many the set file holds
        bool readable = false;  // false when the block lies beyond the file's end
        bool cut = false;       // the set holds fewer bytes than the length value says
    };

    // Nothing, with the reason (naming the file) in *error, when the file cannot be read or is no
    // set file.
    static std::optional<StoredMessageSet> Open(const QString& setPath, QString* error);

    const QString& Path() const { return path_; }
    const SetFileReader::Report& Report() const { return report_; }
    const QString& SetName() const { return report_.setName; }
    const QList<Message>& Messages() const { return messages_; }
    bool CrcMatches() const { return report_.CrcMatches(); }

    // "CRC 0x1234 matches" or "CRC mismatch: stored 0x1234, computed 0x5678".
    QString CrcStatusText() const;
    // What is wrong with the file, one sentence each: CRC and size mismatches, the reader's
    // problems, messages that lie beyond the file's end or are cut short. Empty for a sound set.
    QStringList Warnings() const;
    // The CRC status and every warning, as sentences in one line.
    QString StatusText() const;

    // The set as the page lists it: its name, its messages with their names and wave sizes, and
    // the set file as their path and the set's.
    MessageSetModel ToModel() const;

    // Writes message index as a wave file (waveSize bytes; 56 + keptBytes when cut) into
    // output. False with the reason in *error when the message is unreadable or a read or write
    // fails.
    [[nodiscard]] bool WriteWave(int index, QIODevice& output, QString* error) const;
    // The same wave in memory.
    std::optional<QByteArray> Wave(int index, QString* error) const;
    // The same wave in a temporary ".wav" file, for playing; the file goes with the object.
    std::unique_ptr<QTemporaryFile> WaveInTemporaryFile(int index, QString* error) const;
    // The loudness of message index, measured from the sound its wave holds: the 12 silent bytes
    // and the bytes the set keeps, read straight from the set file. Nothing, with the reason in
    // *error, when the message is unreadable, a read fails or keepGoing said stop.
    std::optional<LoudnessMeasurement> MeasureLoudness(
        int index, QString* error, const LoudnessMeter::KeepGoing& keepGoing = {}) const;

private:
    QString path_;
    SetFileReader::Report report_;
    QList<Message> messages_;
};
