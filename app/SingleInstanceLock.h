#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// The system-wide lock that keeps a second copy of the program from running. Held from TryAcquire
// until the object is destroyed; a copy that died without releasing it (killed, crashed) does not
// block the next start, because a lock whose owner process is gone counts as free.
class SingleInstanceLock {
public:
    // name: the lock's name; directory: where the lock file lives (the user's runtime folder when
    // empty).
    explicit SingleInstanceLock(const QString& name, const QString& directory = QString());

    // True when this process now holds the lock; false when another running copy holds it.
    [[nodiscard]] bool TryAcquire();

    QString LockFilePath() const;

private:
    QString filePath_;
    std::unique_ptr<QLockFile> lock_;
};
