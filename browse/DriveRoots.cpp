#include "browse/DriveRoots.h"

#include <QDir>

#include "transfer/DriveRoots.h"

using namespace Qt::StringLiterals;

namespace {
QString WithSeparator(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

// Ranks how well root names the start of path: 0 not at all, 1 without regard to case, 2 exactly.
int PrefixMatch(const QString& root, const QString& path) {
    const QString bare = DriveRoots::WithoutSeparator(root);
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        if (path.startsWith(root, cs) || path.compare(bare, cs) == 0) {
            return cs == Qt::CaseSensitive ? 2 : 1;
        }
    }
    return 0;
}
}  // namespace

QStringList DriveRoots::List() {
    QStringList paths;
    const QList<DriveRoot> drives = ListDriveRoots();
    for (const DriveRoot& drive : drives) {
        paths.append(drive.rootPath);
    }
    return AsRoots(paths);
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

QString DriveRoots::WithoutSeparator(const QString& root) {
    return root.size() > 1 && root.endsWith(u'/') ? root.chopped(1) : root;
}
