#include "base/RegularFile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace regular_file {

QString Refusal(const QString& path) {
    // isFile() follows links and is false for pipes, sockets, devices and folders.
    const QFileInfo info(path);
    if (!info.exists() || info.isFile()) {
        return {};
    }
    return u"Not a regular file (a pipe, a device or a folder): "_s + path;
}

}  // namespace regular_file
