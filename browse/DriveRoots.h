#pragma once

#include <QString>
#include <QStringList>

// The "drives" of this computer as the folder tree lists them: the drives the file transfer page
// offers (the file system root first, then the mounted volumes a user would browse), each ending
// with the separator, as a drive string does, and each once. Holds no widget.
class DriveRoots {
public:
    static QStringList List();

    // The roots of the given paths, each ending with "/", without duplicates, in the given order.
    static QStringList AsRoots(const QStringList& paths);

    // The index of the longest root that is a prefix of path without regard to case; of two
    // roots of that length, the one that matches in case. -1 when no root is a prefix. A path
    // equal to a root without its final separator matches that root.
    static int LongestPrefix(const QStringList& roots, const QString& path);

    // A root without its final separator, as the tree labels it; the file system root stays "/".
    static QString WithoutSeparator(const QString& root);
};
