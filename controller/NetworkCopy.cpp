#include "controller/NetworkCopy.h"

#include <cstring>
#include <vector>

#include "controller/BlockCopy.h"
#include "ftp/AsciiLineEnds.h"

FtpClient::Result CopyOverNetwork(FtpClient& client, const QByteArray& name, bool upload,
                                  TransferType type, qint64 listedSize, BlockCopy& copy,
                                  stored_size_check::Sent* sent) {
    const bool ascii = type == TransferType::Ascii;
    const NetTick tick = [&copy] { return copy.Tick(); };
    AsciiLineEnds lineEnds;
    QByteArray converted;
    if (upload) {
        std::vector<char> raw;
        const FtpClient::Result stored = client.Store(
            name, ascii ? 'A' : 'I',
            [&](char* data, qint64 size) -> qint64 {
                if (!ascii) {
                    const size_t count = copy.ReadForUpload(data, static_cast<size_t>(size));
                    return count == BlockCopy::kAbort ? -1 : static_cast<qint64>(count);
                }
                raw.resize(static_cast<size_t>(size / 2));  // room for a CR before every LF
                const size_t count = copy.ReadForUpload(raw.data(), raw.size());
                if (count == BlockCopy::kAbort) {
                    return -1;
                }
                converted.clear();
                lineEnds.ToWire(raw.data(), static_cast<qint64>(count), &converted);
                std::memcpy(data, converted.constData(), static_cast<size_t>(converted.size()));
                return converted.size();
            },
            tick);
        *sent = {stored.bytes, ascii ? lineEnds.LineEndsToWire() : -1};
        return stored;
    }
    FtpClient::Result result = client.Retrieve(
        name, ascii ? 'A' : 'I', listedSize,
        [&](const char* data, qint64 size) {
            if (!ascii) {
                return copy.WriteFromDownload(data, static_cast<size_t>(size)) ==
                       static_cast<size_t>(size);
            }
            converted.clear();
            lineEnds.FromWire(data, size, &converted);
            return copy.WriteFromDownload(converted.constData(),
                                          static_cast<size_t>(converted.size())) ==
                   static_cast<size_t>(converted.size());
        },
        tick);
    if (result.Ok() && ascii) {
        converted.clear();
        lineEnds.FinishFromWire(&converted);
        if (copy.WriteFromDownload(converted.constData(), static_cast<size_t>(converted.size())) !=
            static_cast<size_t>(converted.size())) {
            result.failure = FtpClient::Failure::Stopped;
        }
    }
    return result;
}
