#include "controller/StoredSizeCheck.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace stored_size_check {

namespace {

QByteArray LastComponent(const QByteArray& path) {
    return path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
}

}  // namespace

std::optional<quint64> ListedSize(const QList<RemoteEntry>& entries, const QByteArray& remotePath) {
    const QByteArray name = LastComponent(remotePath);
    std::optional<quint64> listed;
    for (const RemoteEntry& entry : entries) {
        if (!entry.isDirectory && LastComponent(entry.rawName) == name) {
            listed = entry.size;
        }
    }
    return listed;
}

QString Mismatch(const QList<RemoteEntry>& entries, const QByteArray& remotePath,
                 const Sent& sent) {
    const std::optional<quint64> listed = ListedSize(entries, remotePath);
    if (!listed) {
        return u"the file is not listed on the controller after the transfer"_s;
    }
    const auto size = static_cast<qint64>(*listed);
    if (size == sent.bytes) {
        return {};
    }
    QString text =
        u"the file on the controller has %1 bytes, but %2 bytes were sent"_s.arg(size).arg(
            sent.bytes);
    if (sent.lineEnds > 0) {
        if (size == sent.bytes - sent.lineEnds) {
            return {};
        }
        text += u" (%1 with LF line ends)"_s.arg(sent.bytes - sent.lineEnds);
    }
    return text;
}

}  // namespace stored_size_check
