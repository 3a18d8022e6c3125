#pragma once

#include <QByteArray>
#include <optional>

#include "ftp/FtpReply.h"

// Cuts the bytes of the control connection into replies: single lines "ddd text", multi-line
// replies from "ddd-" to the line that starts with the same "ddd " (or is just "ddd"), lines ended
// by CRLF or by LF alone. A line that does not start a reply with three digits gives a reply with
// code 0. A reply that grows beyond kMaxReplyBytes is not an FTP reply: it is cut off there.
class ReplyReader {
public:
    static constexpr qsizetype kMaxReplyBytes = 64 * 1024;

    void Append(const char* data, qsizetype size) { buffer_.append(data, size); }
    // The next complete reply; none while its last line has not arrived.
    std::optional<FtpReply> Take();
    // Bytes received that are not part of a reply taken yet.
    bool HasPending() const { return !buffer_.isEmpty(); }
    void Clear() { buffer_.clear(); }

private:
    QByteArray buffer_;
};
