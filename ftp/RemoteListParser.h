#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>
#include <optional>

#include "ftp/RemoteEntry.h"

// Turns the text of an FTP LIST reply into entries. Two formats are understood, line by line, so
// that a server may even mix them:
//  - Unix "ls -l": permissions, links, owner, an optional group, size, a date as "Mon DD HH:MM",
//    "Mon DD YYYY" or "YYYY-MM-DD HH:MM", then the name, which keeps its blanks; a symbolic link
//    "name -> target" gives its name only; "total N" lines are skipped;
//  - DOS/IIS: "MM-DD-YY  HH:MMAM  <DIR>|size  name".
// Sizes are read as 64-bit numbers. Lines that match neither format are skipped. Names keep their
// bytes (remote_name): valid UTF-8 or not, they go back to the controller as listed. Lines end in
// CRLF or LF.
class RemoteListParser {
public:
    static QList<RemoteEntry> Parse(const QByteArray& listing);
    static std::optional<RemoteEntry> ParseLine(QStringView line);

private:
    static std::optional<RemoteEntry> ParseUnixLine(QStringView line);
    static std::optional<RemoteEntry> ParseDosLine(QStringView line);
};
