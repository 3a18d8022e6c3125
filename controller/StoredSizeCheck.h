#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "ftp/RemoteEntry.h"

// Whether the file an upload left on the controller is as long as what was sent, judged from the
// controller's listing of that file or of its directory (the listing is where the program reads
// every remote size). A controller may answer "226" and still keep less than it received (a full
// card, a write error it does not report); this is what tells the user so.
namespace stored_size_check {

struct Sent {
    qint64 bytes = 0;  // bytes on the data connection
    // An ASCII transfer: the line ends (CRLF) among them; -1: a binary transfer.
    qint64 lineEnds = -1;
};

// One file sent, for a check of its directory's listing after a run of files.
struct StoredFile {
    QString remotePath;
    QString localPath;
    Sent sent;
};

// The size listed for remotePath among entries, matched by its last component (the last such
// file entry, as every remote size is read); none when it is not listed.
std::optional<quint64> ListedSize(const QList<RemoteEntry>& entries, const QByteArray& remotePath);

// The reason the stored file does not match, in words for the user; empty when the listing shows
// the file with a size that fits. In binary only the bytes sent fit. In ASCII both the bytes sent
// (a controller that keeps CRLF) and the bytes with every line end as LF (one that stores its own
// line ends) fit. remotePath is the path the file was stored under.
QString Mismatch(const QList<RemoteEntry>& entries, const QByteArray& remotePath, const Sent& sent);

}  // namespace stored_size_check
