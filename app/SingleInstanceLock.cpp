#include "app/SingleInstanceLock.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& directory) {
    QString folder = directory;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    filePath_ = QDir(folder).filePath(name + u".lock"_s);
}

bool SingleInstanceLock::TryAcquire() {
    if (lock_ && lock_->isLocked()) {
        return true;
    }
    lock_ = std::make_unique<QLockFile>(filePath_);
    // Never stale by age: only a lock whose process has gone is taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        return false;
    }
    // The lock cannot be made at all (no permission, no folder): run as if no other copy ran.
    return true;
}

QString SingleInstanceLock::LockFilePath() const {
    return filePath_;
}
