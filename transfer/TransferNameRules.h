#pragma once

#include <QString>

class QFileInfo;

// What the file transfer page lets through between the PC's names and the controller's: which
// local entries are files it may list and send, which local names it refuses to send, and the
// name a remote file may suggest to the save dialog.
class TransferNameRules {
public:
    // A regular file (or a link to one). Pipes, sockets and devices are neither listed nor sent:
    // opening or reading one can block for ever.
    static bool IsTransferableFile(const QFileInfo& entry);

    // A local name the controller would not store as one name: it takes "\" as a separator, so
    // "..\..\boot\app.js" sent into the web root would land outside it.
    static bool IsRefusedLocalName(const QString& name);

    // The name a save dialog starts with for the remote file remoteName: the name with each
    // separator ("/", "\"), drive colon and control character replaced by "_", so that it can
    // only name a file in the folder the dialog shows; empty for "." and "..". The user still
    // chooses the folder.
    static QString SaveDialogName(const QString& remoteName);
};
