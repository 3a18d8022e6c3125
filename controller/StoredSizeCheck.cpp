#include "controller/StoredSizeCheck.h"

#include <algorithm>
#include <optional>

#include "ftp/RemoteListParser.h"

using namespace Qt::StringLiterals;

namespace stored_size_check {

namespace {

QByteArray LastComponent(const QByteArray& path) {
    return path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
}

}  // namespace

QString Mismatch(const QByteArray& listing, const QByteArray& remotePath, const Sent& sent) {
    const QByteArray name = LastComponent(remotePath);
    std::optional<quint64> listed;
    for (const RemoteEntry& entry : RemoteListParser::Parse(listing)) {
        if (!entry.isDirectory && LastComponent(entry.rawName) == name) {
            listed = entry.size;  // the last match, as every remote size is read
        }
    }
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
