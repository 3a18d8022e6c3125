#include "tests/support/TestFiles.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace test_files {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#ifdef Q_OS_UNIX
FileSizeLimit::FileSizeLimit(rlim_t maxBytes) {
    if (getrlimit(RLIMIT_FSIZE, &old_) != 0) {
        return;
    }
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = maxBytes;
    active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (!active_) {
        std::signal(SIGXFSZ, SIG_DFL);
    }
}

FileSizeLimit::~FileSizeLimit() {
    if (active_) {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, SIG_DFL);
    }
}
#endif

}  // namespace test_files
