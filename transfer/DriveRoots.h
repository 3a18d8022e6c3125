#pragma once

#include <QList>
#include <QString>

// The places the file transfer page offers as drives: on Windows the drive roots, elsewhere "/"
// followed by the mounted volumes a user browses (below /media, /mnt and /run/media, and a /home
// of its own), each with the name the system gives it.
struct DriveRoot {
    QString rootPath;     // a path the working directory can be set to
    QString displayName;  // what the drive combo shows
};

QList<DriveRoot> ListDriveRoots();
