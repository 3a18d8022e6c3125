#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

// Reads a message set file back: its set name, each message's name, first sector and block length
// value, the total size it states and its stored CRC, against its real size and the CRC computed
// over it. For checking a file before it goes to a controller; the program itself never reads a
// set file.
class SetFileReader {
public:
    struct Message {
        QString name;
        quint32 firstSector = 0;
        std::optional<quint32> lengthValue;  // none when the block lies beyond the file's end
    };

    struct Report {
        QString setName;
        QList<Message> messages;
        quint32 storedSize = 0;
        qint64 actualSize = 0;
        quint16 storedCrc = 0;
        quint16 computedCrc = 0;
        QStringList problems;  // what does not fit together besides size and CRC

        bool SizeMatches() const { return storedSize == actualSize; }
        bool CrcMatches() const { return storedCrc == computedCrc; }
        bool Sound() const { return SizeMatches() && CrcMatches() && problems.isEmpty(); }
    };

    // Nothing, with the reason in *error, when file is not readable, not a regular file or too
    // short to be a set file. Otherwise the report, whose problems name what does not fit the
    // layout: the table (entries beyond the count not zero, each block where the one before and
    // its padding of 1 to 512 zero bytes put it), each length value against the bytes stored,
    // the closing padding against the file's size, and the names against the names length.
    static std::optional<Report> Read(QIODevice& file, QString* error);

private:
    static void CheckBlocks(QIODevice& file, qint64 namesEnd, const Report& report,
                            const std::function<void(const QString&)>& problem);
};
