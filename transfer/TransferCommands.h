#pragma once

#include <QString>

#include "transfer/FileCategory.h"
#include "transfer/TransferReport.h"

class CategorySettings;
class ControllerSession;
class ProgressSinkFactory;

// The file transfer page's upload, download and delete, without their words: each makes its
// checks in a fixed order and reports how it ended. The session may be absent (a page that was
// given none).
class TransferCommands {
public:
    TransferCommands(ControllerSession* session, const CategorySettings& settings,
                     ProgressSinkFactory& progress, quint32 flashCardSize)
        : session_(session),
          settings_(settings),
          progress_(progress),
          flashCardSize_(flashCardSize) {}

    bool IsConnected() const;

    // Sends localPath, the entry named itemText in the local list, in the given category: a web
    // root directory as a web upload (WebUpload), any other file into the session's current
    // remote directory under itemText, with the session's progress display. A message set must
    // not be longer than the flash card. Only regular files are sent, and no name with a "\".
    TransferReport Upload(FileCategory category, const QString& localPath, const QString& itemText);

    // Fetches the remote file itemText (relative to the current remote directory) to localPath,
    // with the session's progress display.
    TransferReport Download(const QString& localPath, const QString& itemText);

    // Removes the remote file itemText from the current remote directory; false when the
    // controller refused or there is no session.
    bool Delete(const QString& itemText);

private:
    ControllerSession* session_;
    const CategorySettings& settings_;
    ProgressSinkFactory& progress_;
    quint32 flashCardSize_;
};
