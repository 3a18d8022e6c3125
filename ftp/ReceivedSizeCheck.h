#pragma once

#include <QtGlobal>

// Whether the bytes of a download fit the size the controller gave for the file. In binary the
// bytes received must be that size. In ASCII the controller may keep CRLF line ends (the bytes
// received are the size) or LF ones (the bytes with each CRLF counted as one are the size); a file
// that keeps both kinds does not fit. Pieces may be cut anywhere.
class ReceivedSizeCheck {
public:
    // expected: the size given; negative: none, and everything fits.
    ReceivedSizeCheck(qint64 expected, bool ascii) : expected_(expected), ascii_(ascii) {}

    // Counts a piece received; false once more has come than the size allows.
    bool Take(const char* data, qint64 size);
    // Whether what came, all of it, fits the size.
    bool Fits() const;
    bool TooMany() const { return tooMany_; }

private:
    qint64 expected_;
    bool ascii_;
    qint64 received_ = 0;
    qint64 lineEnds_ = 0;  // ASCII: the CRLFs among the bytes received
    bool lastWasCr_ = false;
    bool tooMany_ = false;
};
