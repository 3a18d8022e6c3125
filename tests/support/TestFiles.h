#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

// Files the tests read back, and a limit on the files they may write.
namespace test_files {

// The whole file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);

#ifdef Q_OS_UNIX
// While it lives, the process writes files of at most maxBytes: a write beyond fails with EFBIG
// (SIGXFSZ is ignored meanwhile), as on a full disk. The earlier limit and signal handling come
// back when it goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t maxBytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit could be set.
    bool IsActive() const { return active_; }

private:
    rlimit old_{};
    bool active_ = false;
};
#endif

}  // namespace test_files
