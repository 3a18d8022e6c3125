#include "setfile/SetFileWriter.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <vector>

#include "base/RegularFile.h"
#include "base/TextEncoding.h"
#include "base/WriteAll.h"
#include "base/ProgressSink.h"
#include "setfile/CrcAccumulator.h"
#include "setfile/MessageSetTexts.h"
#include "setfile/SetFileCrc.h"
#include "setfile/SetFileLayout.h"

using namespace set_file_layout;
using Outcome = SetFileWriter::Outcome;
using Result = SetFileWriter::Result;

namespace {

Result Failure(Outcome outcome, QString subject = QString(), QString reason = QString()) {
    Result result;
    result.outcome = outcome;
    result.subject = std::move(subject);
    result.reason = std::move(reason);
    return result;
}

// Appends bytes to the output and to the CRC, and counts them.
class Sink {
public:
    Sink(QIODevice& output, CrcAccumulator& crc, qint64 written)
        : output_(output), crc_(crc), written_(written) {}

    [[nodiscard]] bool Add(const char* data, qint64 length) {
        if (!WriteAll(output_, QByteArrayView(data, length))) {
            return false;
        }
        crc_.Add(data, length);
        written_ += length;
        return true;
    }
    [[nodiscard]] bool PadTo(qint64 m) {
        static const std::array<char, kFileAlignment> zeros{};
        return Add(zeros.data(), PaddingTo(written_, m));
    }
    qint64 Written() const { return written_; }

private:
    QIODevice& output_;
    CrcAccumulator& crc_;
    qint64 written_;
};

}  // namespace

QString SetFileWriter::FailureText(const Result& result, const QString& outputPath) {
    namespace texts = message_set_texts;
    switch (result.outcome) {
        case Outcome::Written:
            return {};
        case Outcome::TooManyMessages:
            return texts::TooManyEntries(result.subject.toInt(), set_file_layout::kMaxMessages);
        case Outcome::NameTooLong:
            return texts::NameTooLong(result.subject, set_file_layout::kMaxNameBytes);
        case Outcome::NamesTooLong:
            return texts::NamesTooLong(static_cast<int>(set_file_layout::kMaxNamesLength));
        case Outcome::SetTooLarge:
            return texts::SetTooLarge();
        case Outcome::CreateFailed:
            return texts::CouldNotCreate(outputPath);
        case Outcome::WaveNotOpened:
            return texts::CouldNotOpen(result.subject);
        case Outcome::WaveNotAFile:
            return result.reason;
        case Outcome::WaveTooShort:
            return texts::WaveTooShort(result.subject);
        case Outcome::WaveReadFailed:
            return texts::CouldNotRead(result.subject, result.reason);
        case Outcome::Cancelled:
            return texts::Interrupted();
        case Outcome::WriteFailed:
            return result.reason.isEmpty() ? texts::CouldNotWrite(outputPath) : result.reason;
    }
    return {};
}

Result SetFileWriter::Validate(const QString& setName, const QList<MessageEntry>& entries) {
    if (entries.size() > kMaxMessages) {
        return Failure(Outcome::TooManyMessages, QString::number(entries.size()));
    }
    qint64 namesLength = 0;
    auto check = [&namesLength](const QString& name) {
        const qint64 bytes = text_encoding::ToFileBytes(name).size();
        namesLength += 1 + bytes;
        return bytes <= kMaxNameBytes;
    };
    if (!check(setName)) {
        return Failure(Outcome::NameTooLong, setName);
    }
    for (const MessageEntry& entry : entries) {
        if (!check(entry.name)) {
            return Failure(Outcome::NameTooLong, entry.name);
        }
    }
    if (namesLength > kMaxNamesLength) {
        return Failure(Outcome::NamesTooLong);
    }
    if (PredictedSize(setName, entries) > kMaxFileSize) {
        return Failure(Outcome::SetTooLarge);
    }
    return {};
}

qint64 SetFileWriter::PredictedSize(const QString& setName, const QList<MessageEntry>& entries) {
    qint64 size = kNamesOffset + 1 + text_encoding::ToFileBytes(setName).size();
    for (const MessageEntry& entry : entries) {
        size += 1 + text_encoding::ToFileBytes(entry.name).size();
    }
    size += PaddingTo(size, kSectorSize);
    for (const MessageEntry& entry : entries) {
        size += kBlockHeaderSize + std::max<qint64>(0, qint64(entry.size) - kWaveDataOffset);
        size += PaddingTo(size, kSectorSize);
    }
    return size + PaddingTo(size, kFileAlignment);
}

Result SetFileWriter::Write(QIODevice& output, const QString& setName,
                            const QList<MessageEntry>& entries) {
    const Result checked = Validate(setName, entries);
    return checked.Ok() ? WriteValidated(output, setName, entries) : checked;
}

Result SetFileWriter::WriteValidated(QIODevice& output, const QString& setName,
                                     const QList<MessageEntry>& entries) {
    Result result;
    auto writeFailed = [&output] {
        return Failure(Outcome::WriteFailed, {}, output.errorString());
    };

    // The header is kept in memory and written again once the table, the total size and the CRC
    // are known.
    QByteArray header(kNamesOffset, '\0');
    PutLe16(header.data() + kCountOffset, static_cast<quint16>(entries.size()));
    auto appendName = [&header](const QString& name) {
        const QByteArray bytes = text_encoding::ToFileBytes(name);
        header.append(static_cast<char>(bytes.size() & 0xFF));
        header.append(bytes);
    };
    appendName(setName);
    for (const MessageEntry& entry : entries) {
        appendName(entry.name);
    }
    PutLe16(header.data() + kNamesLengthOffset, static_cast<quint16>(header.size() - kNamesOffset));
    // The padding after the names (before the first block, or the first closing padding of an
    // empty set) belongs to the header, so that the header's CRC covers whole pairs.
    header.append(QByteArray(PaddingTo(header.size(), kSectorSize), '\0'));
    if (!WriteAll(output, header)) {
        return writeFailed();
    }

    // The CRC of everything after the header; combined with the header's at the end.
    const qint64 headerSize = header.size();
    CrcAccumulator crc(kSetFileCrcCoverage - (headerSize - 2));
    Sink sink(output, crc, headerSize);
    // The padding before a block and the block's header go out in one write with the block's
    // first chunk: room for them is kept in front of the chunk.
    std::vector<char> buffer(kSectorSize + kBlockHeaderSize + kCopyChunk);
    char* const chunk = buffer.data() + kSectorSize + kBlockHeaderSize;

    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString& path = entries.at(i).path;
        if (progress_ != nullptr) {
            progress_->SetText(message_set_texts::Adding(path));
        }
        if (const QString refusal = regular_file::Refusal(path); !refusal.isEmpty()) {
            return Failure(Outcome::WaveNotAFile, path, refusal);
        }
        QFile wave(path);
        if (!wave.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            return Failure(Outcome::WaveNotOpened, path, wave.errorString());
        }
        // The wave file's first 56 bytes are not copied; the format fields among them are not
        // looked at here, only that the file has them (36 bytes).
        std::array<char, kWaveDataOffset> head;
        const qint64 headBytes = wave.read(head.data(), head.size());
        if (headBytes < 0) {
            return Failure(Outcome::WaveReadFailed, path, wave.errorString());
        }
        if (headBytes < kWaveHeaderSize) {
            return Failure(Outcome::WaveTooShort, path);
        }
        const qint64 size = wave.size();

        const qint64 padding = i > 0 ? PaddingTo(sink.Written(), kSectorSize) : 0;
        PutWordSwapped32(header.data() + kTableOffset + 4 * i,
                         static_cast<quint32>((sink.Written() + padding) / kSectorSize));
        char* const block = chunk - kBlockHeaderSize;
        std::fill(block - padding, chunk, '\0');
        PutWordSwapped32(block, static_cast<quint32>((size - 20) / 2));
        block[4] = 0x01;
        qint64 prefix = padding + kBlockHeaderSize;
        for (;;) {
            const qint64 n = wave.read(chunk, kCopyChunk);
            if (n < 0) {
                return Failure(Outcome::WaveReadFailed, path, wave.errorString());
            }
            if (sink.Written() + prefix + n > kMaxFileSize) {
                return Failure(Outcome::SetTooLarge);
            }
            if (prefix + n > 0 && !sink.Add(chunk - prefix, prefix + n)) {
                return writeFailed();
            }
            prefix = 0;
            if (n == 0) {
                break;
            }
            if (n == kCopyChunk && progress_ != nullptr) {
                progress_->Advance();
                progress_->PumpMessages();
                if (progress_->IsCancelled()) {
                    return Failure(Outcome::Cancelled);
                }
            }
        }
    }
    if (messagesCopied_) {
        messagesCopied_();
    }

    if ((!entries.isEmpty() && !sink.PadTo(kSectorSize)) || !sink.PadTo(kFileAlignment)) {
        return writeFailed();
    }
    if (sink.Written() > kMaxFileSize) {
        return Failure(Outcome::SetTooLarge);
    }
    PutWordSwapped32(header.data() + kTotalSizeOffset, static_cast<quint32>(sink.Written()));
    if (progress_ != nullptr) {
        progress_->SetText(message_set_texts::CalculatingCrc());
    }
    const quint16 headerCrc =
        UpdateCrcFast(reinterpret_cast<const uchar*>(header.constData()) + 2, headerSize - 2, 0);
    result.crc = CrcAppendZeros(headerCrc, static_cast<quint64>(crc.Count())) ^ crc.Value();
    PutLe16(header.data(), result.crc);
    if (!output.seek(0) || !WriteAll(output, header)) {
        return writeFailed();
    }
    result.fileSize = sink.Written();
    return result;
}

Result SetFileWriter::WriteFile(const QString& outputPath, const QString& setName,
                                const QList<MessageEntry>& entries) {
    Result result = Validate(setName, entries);
    if (!result.Ok()) {
        return result;
    }
    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Failure(Outcome::CreateFailed, outputPath, file.errorString());
    }
    result = WriteValidated(file, setName, entries);
    if (!result.Ok()) {
        file.cancelWriting();
        if (result.outcome == Outcome::WriteFailed) {
            result.subject = outputPath;
        }
        return result;
    }
    if (!file.commit()) {
        return Failure(Outcome::WriteFailed, outputPath, file.errorString());
    }
    return result;
}
