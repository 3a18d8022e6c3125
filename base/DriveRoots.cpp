#include "base/DriveRoots.h"

#include <QDir>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace {
QString WithSeparator(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

// A root without its final separator; the file system root stays "/".
QString WithoutSeparator(const QString& root) {
    return root.size() > 1 && root.endsWith(u'/') ? root.chopped(1) : root;
}

// Ranks how well root names the start of path: 0 not at all, 1 without regard to case, 2 exactly.
int PrefixMatch(const QString& root, const QString& path) {
    const QString bare = WithoutSeparator(root);
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        if (path.startsWith(root, cs) || path.compare(bare, cs) == 0) {
            return cs == Qt::CaseSensitive ? 2 : 1;
        }
    }
    return 0;
}

// The volume's name where the system gives one, otherwise its root as the platform writes it.
QString DisplayNameOf(const QStorageInfo& volume) {
    const QString name = volume.displayName();
    return name.isEmpty() ? QDir::toNativeSeparators(volume.rootPath()) : name;
}

// The volumes in listing order, unfiltered and possibly repeated.
QList<QStorageInfo> Volumes() {
    QList<QStorageInfo> volumes;
#ifdef Q_OS_WIN
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo& drive : drives) {
        volumes.append(QStorageInfo(drive.absoluteFilePath()));
    }
#else
    volumes.append(QStorageInfo::root());
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : mounted) {
        const QString root = volume.rootPath();
        const bool browsed = root.startsWith(u"/media/"_s) || root.startsWith(u"/mnt/"_s) ||
                             root.startsWith(u"/run/media/"_s) || root == u"/home"_s;
        if (browsed && volume.isValid() && volume.isReady()) {
            volumes.append(volume);
        }
    }
#endif
    return volumes;
}
}  // namespace

QList<DriveRoot> DriveRoots::List() {
    QList<DriveRoot> drives;
    QStringList seen;
    const QList<QStorageInfo> volumes = Volumes();
    for (const QStorageInfo& volume : volumes) {
        const QString root = AsRoots({volume.rootPath()}).constFirst();
        if (!seen.contains(root)) {
            seen.append(root);
            drives.append({root, DisplayNameOf(volume)});
        }
    }
    return drives;
}

QStringList DriveRoots::AsRoots(const QStringList& paths) {
    QStringList roots;
    for (const QString& path : paths) {
        const QString root = WithSeparator(QDir::fromNativeSeparators(path));
        if (!roots.contains(root)) {
            roots.append(root);
        }
    }
    return roots;
}

int DriveRoots::LongestPrefix(const QStringList& roots, const QString& path) {
    int best = -1;
    qsizetype bestLength = -1;
    int bestMatch = 0;
    for (int i = 0; i < roots.size(); ++i) {
        const int match = PrefixMatch(roots.at(i), path);
        const qsizetype length = roots.at(i).size();
        if (match > 0 && (length > bestLength || (length == bestLength && match > bestMatch))) {
            best = i;
            bestLength = length;
            bestMatch = match;
        }
    }
    return best;
}
