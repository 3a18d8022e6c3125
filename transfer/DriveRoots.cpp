#include "transfer/DriveRoots.h"

#include <QDir>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace {

QString DisplayNameOf(const QStorageInfo& volume) {
    const QString name = volume.displayName();
    return name.isEmpty() ? QDir::toNativeSeparators(volume.rootPath()) : name;
}

}  // namespace

QList<DriveRoot> ListDriveRoots() {
    QList<DriveRoot> roots;
#ifdef Q_OS_WIN
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo& drive : drives) {
        const QString root = QDir::toNativeSeparators(drive.absoluteFilePath());
        roots.append({root, DisplayNameOf(QStorageInfo(root))});
    }
#else
    roots.append({u"/"_s, DisplayNameOf(QStorageInfo::root())});
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        const QString root = volume.rootPath();
        const bool browsed = root.startsWith(u"/media/"_s) || root.startsWith(u"/mnt/"_s) ||
                             root.startsWith(u"/run/media/"_s) || root == u"/home"_s;
        if (browsed && volume.isValid() && volume.isReady()) {
            roots.append({root, DisplayNameOf(volume)});
        }
    }
#endif
    return roots;
}
