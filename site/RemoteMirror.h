#pragma once

#include <QList>
#include <QString>

class WorkerContext;

// The files of a controller that its history folder mirrors: the files of each category's
// folder, and the whole tree of the web root, without the flash card pseudo-file. A folder the
// controller does not have holds no files; any other failed listing fails the walk.
namespace remote_mirror {

struct RemoteFile {
    QString remotePath;   // as the controller writes it: "/rfa\cfg\system.cfg"
    QString historyPath;  // "rfa/cfg/system.cfg"
    qint64 size = 0;
};

[[nodiscard]] bool ListAll(WorkerContext& context, const QString& cardPath,
                           QList<RemoteFile>* files);

}  // namespace remote_mirror
