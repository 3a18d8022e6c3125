#pragma once

#include <QByteArray>

// The line ends of an ASCII (TYPE A) transfer: CRLF on the wire, LF in the files here. Keeps the
// state of a CR that ends one piece, so pieces may be cut anywhere.
class AsciiLineEnds {
public:
    // Appends data to out with every LF not already preceded by CR written as CRLF.
    void ToWire(const char* data, qint64 size, QByteArray* out);
    // The line ends (CRLF) ToWire has written so far: a controller that stores its own line ends
    // (LF) keeps that many bytes fewer than went out.
    qint64 LineEndsToWire() const { return lineEndsToWire_; }
    // Appends data to out with every CRLF written as LF.
    void FromWire(const char* data, qint64 size, QByteArray* out);
    // The end of a received stream: a CR held back is written out.
    void FinishFromWire(QByteArray* out);

private:
    bool lastWasCr_ = false;
    qint64 lineEndsToWire_ = 0;
};
