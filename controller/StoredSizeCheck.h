#pragma once

#include <QByteArray>
#include <QString>

// Whether the file an upload left on the controller is as long as what was sent, judged from the
// controller's listing of that file (the listing is where the program reads every remote size).
// A controller may answer "226" and still keep less than it received (a full card, a write error
// it does not report); this is what tells the user so.
namespace stored_size_check {

struct Sent {
    qint64 bytes = 0;  // bytes on the data connection
    // An ASCII transfer: the line ends (CRLF) among them; -1: a binary transfer.
    qint64 lineEnds = -1;
};

// The reason the stored file does not match, in words for the user; empty when the listing shows
// the file with a size that fits. In binary only the bytes sent fit. In ASCII both the bytes sent
// (a controller that keeps CRLF) and the bytes with every line end as LF (one that stores its own
// line ends) fit. remotePath is the path the file was stored under; the listing's entry is found
// by its last component.
QString Mismatch(const QByteArray& listing, const QByteArray& remotePath, const Sent& sent);

}  // namespace stored_size_check
