#pragma once

#include <QString>
#include <QStringList>

// The "drives" of this computer as the folder tree lists them: the file system root first, then
// the mounted volumes a user would browse (removable media and volumes mounted under /media, /mnt
// and /run/media). Each root ends with the native separator, as a drive string does. Holds no
// widget.
class DriveRoots {
public:
    static QStringList List();

    // Which of roots, mounted volume paths as above, are kept: "/" and the user volumes, without
    // duplicates, the root first, otherwise in the given order; each ends with "/".
    static QStringList Browsable(const QStringList& mountPoints);

    // The index of the longest root that is a prefix of path without regard to case; of two
    // roots of that length, the one that matches in case. -1 when no root is a prefix. A path
    // equal to a root without its final separator matches that root.
    static int LongestPrefix(const QStringList& roots, const QString& path);
};
