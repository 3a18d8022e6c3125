#include "setfile/SetFileReader.h"

#include <QIODevice>
#include <algorithm>

#include "base/TextEncoding.h"
#include "setfile/SetFileCrc.h"
#include "setfile/SetFileLayout.h"

using namespace Qt::StringLiterals;
using namespace set_file_layout;

namespace {

// Enough to say what is wrong without flooding the output for a file that is no set at all.
constexpr qsizetype kMaxProblems = 10;

// Whether the bytes from `from` to `to` of file are there and all zero.
bool ZeroBytes(QIODevice& file, qint64 from, qint64 to) {
    if (to <= from) {
        return true;
    }
    if (!file.seek(from)) {
        return false;
    }
    const QByteArray bytes = file.read(to - from);
    return bytes.size() == to - from &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

// Where a block's bytes end, from its start and its length value: 16 header bytes and the wave
// file's bytes from offset 56 on. The length value is (wave size - 20) / 2 rounded down, so the
// wave size was one of two; both ends are returned, shorter first.
std::pair<qint64, qint64> BlockEnds(qint64 start, quint32 lengthValue) {
    auto end = [start](qint64 waveSize) {
        return start + kBlockHeaderSize + std::max<qint64>(0, waveSize - kWaveDataOffset);
    };
    const qint64 waveSize = 2 * qint64(lengthValue) + 20;
    return {end(waveSize), end(waveSize + 1)};
}

// The block start or file end that follows a block ending at end, as the writer pads it.
qint64 NextBlockStart(qint64 end) {
    return end + PaddingTo(end, kSectorSize);
}

}  // namespace

std::optional<SetFileReader::Report> SetFileReader::Read(QIODevice& file, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    if (file.isSequential()) {
        return fail(u"It is not a regular file (a device, a pipe or a socket)."_s);
    }
    Report report;
    auto problem = [&report](const QString& text) {
        if (report.problems.size() < kMaxProblems) {
            report.problems << text;
        }
    };
    report.actualSize = file.size();
    if (!file.seek(0)) {
        return fail(file.errorString());
    }
    const QByteArray head = file.read(kNamesOffset);
    if (head.size() < kNamesOffset) {
        return fail(u"The file is shorter than the header of a message set file (%1 bytes)."_s.arg(
            kNamesOffset));
    }
    report.storedCrc = GetLe16(head.constData());
    report.storedSize = GetWordSwapped32(head.constData() + kTotalSizeOffset);
    const int count = GetLe16(head.constData() + kCountOffset);
    const int namesLength = GetLe16(head.constData() + kNamesLengthOffset);
    if (count > kMaxMessages) {
        problem(u"The file states %1 messages; the table holds at most %2."_s.arg(count).arg(
            kMaxMessages));
    }
    if (head.at(2) != '\0' || head.at(3) != '\0') {
        problem(u"The two bytes after the CRC are not zero."_s);
    }
    if (report.storedSize % kFileAlignment != 0) {
        problem(u"The total size %1 is not a multiple of %2."_s.arg(report.storedSize)
                    .arg(kFileAlignment));
    }
    const QByteArray names = file.read(namesLength);
    if (names.size() < namesLength) {
        problem(u"The names run past the end of the file."_s);
    }
    qsizetype at = 0;
    auto nextName = [&names, &at](QString* name) {
        if (at >= names.size()) {
            return false;
        }
        const int length = static_cast<uchar>(names[at]);
        if (at + 1 + length > names.size()) {
            return false;
        }
        *name = text_encoding::FromFileBytes(names.mid(at + 1, length));
        at += 1 + length;
        return true;
    };
    if (!nextName(&report.setName)) {
        problem(u"The set name does not fit into the names length."_s);
    }
    // A count the table cannot hold means this is no set file: nothing more is listed.
    const int listed = count > kMaxMessages ? 0 : count;
    for (int i = listed; i < kMaxMessages; ++i) {
        if (GetWordSwapped32(head.constData() + kTableOffset + 4 * i) != 0) {
            problem(u"Table entry %1 is not zero, but the file states %2 messages."_s.arg(i).arg(
                count));
            break;
        }
    }
    for (int i = 0; i < listed; ++i) {
        Message message;
        if (!nextName(&message.name)) {
            problem(u"The name of message %1 does not fit into the names length."_s.arg(i));
        }
        message.firstSector = GetWordSwapped32(head.constData() + kTableOffset + 4 * i);
        const qint64 block = qint64(message.firstSector) * kSectorSize;
        if (file.seek(block)) {
            const QByteArray value = file.read(4);
            if (value.size() == 4) {
                message.lengthValue = GetWordSwapped32(value.constData());
            }
        }
        if (!message.lengthValue) {
            problem(u"Message %1 starts beyond the end of the file."_s.arg(i));
        }
        report.messages.append(message);
    }
    if (at != names.size() && names.size() == namesLength) {
        problem(u"The names length is %1, the names take %2 bytes."_s.arg(namesLength).arg(at));
    }
    CheckBlocks(file, kNamesOffset + namesLength, report, problem);

    const std::optional<quint16> crc = ComputeSetFileCrc(file, CrcMethod::Fast);
    if (!crc) {
        return fail(file.errorString());
    }
    report.computedCrc = *crc;
    return report;
}

void SetFileReader::CheckBlocks(QIODevice& file, qint64 namesEnd, const Report& report,
                                const std::function<void(const QString&)>& problem) {
    // Each block must start where the writer puts it: after the names, or after the block
    // before, and 1 to 512 zero bytes. The end of a block follows from its length value.
    qint64 expected = NextBlockStart(namesEnd);
    if (!ZeroBytes(file, namesEnd, expected)) {
        problem(u"The bytes between the names and the first block are not zero."_s);
        return;
    }
    for (qsizetype i = 0; i < report.messages.size(); ++i) {
        const Message& message = report.messages.at(i);
        const qint64 start = qint64(message.firstSector) * kSectorSize;
        if (start != expected) {
            problem(
                u"Message %1 starts at sector %2; after what comes before it, it must start "
                u"at sector %3."_s.arg(i)
                    .arg(message.firstSector)
                    .arg(expected / kSectorSize));
            return;
        }
        if (!message.lengthValue) {
            return;
        }
        if (!file.seek(start + 4)) {
            return;
        }
        const QByteArray marker = file.read(kBlockHeaderSize - 4);
        if (marker != QByteArray("\x01", 1) + QByteArray(kBlockHeaderSize - 5, '\0')) {
            problem(u"The block of message %1 does not have the block header's marks."_s.arg(i));
            return;
        }
        // What must follow the block: the next block, or the file's closing padding.
        const bool last = i + 1 == report.messages.size();
        auto fits = [&](qint64 end) {
            const qint64 next = NextBlockStart(end);
            return last ? next + PaddingTo(next, kFileAlignment) == report.actualSize
                        : next == qint64(report.messages.at(i + 1).firstSector) * kSectorSize;
        };
        const auto [shorter, longer] = BlockEnds(start, *message.lengthValue);
        // Of the two possible ends the longer one is checked for zeros after it when it fits:
        // the byte between them may be sound data.
        const qint64 end = fits(longer) ? longer : shorter;
        if (!fits(end)) {
            problem(
                u"The length value of message %1 does not fit the bytes stored for it."_s.arg(i));
            return;
        }
        expected = NextBlockStart(end);
        const qint64 paddingEnd = last ? report.actualSize : expected;
        if (!ZeroBytes(file, end, paddingEnd)) {
            problem(u"The padding after message %1 is not zero."_s.arg(i));
            return;
        }
    }
    if (report.messages.isEmpty()) {
        if (expected + PaddingTo(expected, kFileAlignment) != report.actualSize ||
            !ZeroBytes(file, expected, report.actualSize)) {
            problem(u"The file does not end with the padding of a set without messages."_s);
        }
    }
}
