#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "transfer/FileCategory.h"

// Names of the installation's commands and history for the seven categories and for remote
// paths. The controller writes a path with a leading "/" and backslashes below it
// ("/rfa\cfg\system.cfg"); the history keeps it with slashes and without the leading "/" below the
// controller's folder ("east/rfa/cfg/system.cfg").
namespace site_paths {

// "message-set", "configuration", "firmware", "application", "driver", "default-configuration",
// "web", in the order of FileCategory.
QString CategoryName(FileCategory category);
std::optional<FileCategory> CategoryNamed(const QString& name);
// The names joined for a usage text.
QString CategoryNames();

// The remote folder a backup mirrors for the category, as the controller writes it: the
// category's folder of the file transfer page, and for the web category the web root below it
// (/rfa\web), whose whole tree is mirrored. Every other category mirrors only the files of its
// folder: /rfa\cfg\def is the default configuration's, not the configuration's.
QString BackupFolder(FileCategory category);
// Whether the category's folder is mirrored with its subfolders.
inline bool MirrorsTree(FileCategory category) {
    return category == FileCategory::Web;
}

// The path as the controller writes it, from either form: "rfa/cfg/system.cfg",
// "/rfa\cfg\system.cfg" and "\rfa/cfg/system.cfg" all give "/rfa\cfg\system.cfg". Empty when
// nothing is left, or a part is "." or "..".
QString ToRemote(const QString& path);
// The path below the controller's history folder: "/rfa\cfg\system.cfg" gives
// "rfa/cfg/system.cfg".
QString ToHistory(const QString& remotePath);

}  // namespace site_paths
