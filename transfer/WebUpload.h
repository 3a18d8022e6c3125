#pragma once

#include <QString>

#include "transfer/TransferReport.h"

class CategorySettings;
class ControllerSession;
class ProgressSinkFactory;

// Sends the web files of a web root directory tree to the controller, file by file, under a
// progress display of its own with one step per file. Before each file the display is advanced
// and pumped, and a cancel seen there stops the upload; then the file's remote directory is made
// (EnsureRemoteDirectory, once for a run of files in the same directory) and the file is sent
// under the same display, which is pumped and whose cancel is read inside the file too (no
// display of the session's own appears). Once a run of files in one directory is sent, one
// listing of that directory checks their stored sizes (ControllerSession::CheckStored). The first
// file whose directory cannot be made, whose sending fails or whose stored size does not fit ends
// the upload; files sent before it stay on the controller. A tree with a "\" in a name below the
// root is refused before anything is sent. The process's working directory is not moved.
class WebUpload {
public:
    WebUpload(ControllerSession& session, const CategorySettings& settings,
              ProgressSinkFactory& progress)
        : session_(session), settings_(settings), progress_(progress) {}

    // Uploads the tree below rootDirectory (a local web root directory) under a display titled
    // with the application caption. Done also when the tree holds no web file.
    TransferReport Run(const QString& rootDirectory);

private:
    ControllerSession& session_;
    const CategorySettings& settings_;
    ProgressSinkFactory& progress_;
};
