#include "browse/DriveRoots.h"

#include <QDir>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace {
QString WithSeparator(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

bool IsUserVolume(const QString& root) {
    return root == u"/"_s || root.startsWith(u"/media/"_s) || root.startsWith(u"/mnt/"_s) ||
           root.startsWith(u"/run/media/"_s);
}

// Ranks how well root names the start of path: 0 not at all, 1 without regard to case, 2 exactly.
int PrefixMatch(const QString& root, const QString& path) {
    const QString bare = root.size() > 1 && root.endsWith(u'/') ? root.chopped(1) : root;
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        if (path.startsWith(root, cs) || path.compare(bare, cs) == 0) {
            return cs == Qt::CaseSensitive ? 2 : 1;
        }
    }
    return 0;
}
}  // namespace

QStringList DriveRoots::List() {
    QStringList mountPoints;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (volume.isValid() && volume.isReady()) {
            mountPoints.append(volume.rootPath());
        }
    }
    return Browsable(mountPoints);
}

QStringList DriveRoots::Browsable(const QStringList& mountPoints) {
    QStringList roots{u"/"_s};
    for (const QString& mountPoint : mountPoints) {
        const QString root = WithSeparator(QDir::cleanPath(mountPoint));
        if (IsUserVolume(root) && !roots.contains(root)) {
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
