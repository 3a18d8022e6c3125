#include "ftp/ReplyReader.h"

#include <cctype>

namespace {

bool StartsWithCode(const QByteArray& line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2]));
}

}  // namespace

QString FtpReply::LastLine() const {
    const qsizetype start = text.lastIndexOf('\n') + 1;
    return QString::fromUtf8(text.mid(start));
}

bool HoldsLineBreak(const QByteArray& bytes) {
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

QByteArray FtpReply::QuotedPath() const {
    const qsizetype open = text.indexOf('"');
    if (open < 0) {
        return {};
    }
    QByteArray path;
    for (qsizetype index = open + 1; index < text.size(); ++index) {
        if (text[index] == '"') {
            if (index + 1 < text.size() && text[index + 1] == '"') {
                path += '"';
                ++index;
                continue;
            }
            return path;
        }
        path += text[index];
    }
    return {};
}

std::optional<FtpReply> ReplyReader::Take() {
    FtpReply reply;
    QByteArray multiLineCode;  // "ddd" while inside a multi-line reply
    qsizetype position = 0;
    while (true) {
        const qsizetype end = buffer_.indexOf('\n', position);
        if (end < 0) {
            if (buffer_.size() > kMaxReplyBytes) {
                buffer_.clear();
                return FtpReply{0, QByteArrayLiteral("(an endless reply)")};
            }
            return std::nullopt;
        }
        QByteArray line = buffer_.mid(position, end - position);
        position = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (!reply.text.isEmpty()) {
            reply.text += '\n';
        }
        reply.text += line;
        if (multiLineCode.isEmpty()) {
            if (!StartsWithCode(line)) {
                break;  // code 0: not understood
            }
            reply.code = line.left(3).toInt();
            if (line.size() > 3 && line[3] == '-') {
                multiLineCode = line.left(3);
                continue;
            }
            break;
        }
        if (line.startsWith(multiLineCode) && (line.size() == 3 || line[3] == ' ')) {
            break;
        }
    }
    buffer_.remove(0, position);
    return reply;
}
