#pragma once

#include <QByteArray>
#include <QString>

// One reply of the controller on the control connection.
struct FtpReply {
    int code = 0;     // the three digits; 0 for a reply that is not understood
    QByteArray text;  // every line of it, joined by "\n", without line ends
    // The last line, decoded for a message ("550 No such file or directory.").
    QString LastLine() const;
    bool IsPreliminary() const { return code >= 100 && code < 200; }
    // The path of a 257 reply: the bytes between the first quote and its closing quote, with
    // doubled quotes taken as one; empty when there is none.
    QByteArray QuotedPath() const;
    bool IsPositive() const { return code >= 200 && code < 300; }
};

// Whether bytes hold a CR, an LF or a NUL: never part of a command, nor of a name sent in one.
bool HoldsLineBreak(const QByteArray& bytes);
