#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One drive of this computer as the folder tree and the file transfer page show it.
struct DriveRoot {
    QString rootPath;     // ends with "/", as a drive string ends with its separator
    QString displayName;  // the name the system gives the volume, or the root's own path
};

// The "drives" of this computer: on Windows the drive roots, elsewhere "/" followed by the mounted
// volumes a user browses (below /media, /mnt and /run/media, and a /home of its own). Both the
// folder tree and the file transfer page list them from here, so they name a drive alike. Holds no
// widget.
class DriveRoots {
public:
    // The drives, the file system root first, each root once.
    static QList<DriveRoot> List();

    // The roots of the given paths, each ending with "/", without duplicates, in the given order.
    static QStringList AsRoots(const QStringList& paths);

    // The index of the longest root that is a prefix of path without regard to case; of two
    // roots of that length, the one that matches in case. -1 when no root is a prefix. A path
    // equal to a root without its final separator matches that root.
    static int LongestPrefix(const QStringList& roots, const QString& path);
};
