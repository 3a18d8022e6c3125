#include "messageset/SetFileReader.h"

#include <QIODevice>

#include "app/TextEncoding.h"
#include "messageset/SetFileCrc.h"
#include "messageset/SetFileLayout.h"

using namespace Qt::StringLiterals;
using namespace set_file_layout;

std::optional<SetFileReader::Report> SetFileReader::Read(QIODevice& file, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    Report report;
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
        report.problems << u"The file states %1 messages; the table holds at most %2."_s.arg(count)
                               .arg(kMaxMessages);
    }
    const QByteArray names = file.read(namesLength);
    if (names.size() < namesLength) {
        report.problems << u"The names run past the end of the file."_s;
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
        report.problems << u"The set name does not fit into the names length."_s;
    }
    // A count the table cannot hold means this is no set file: nothing more is listed.
    const int listed = count > kMaxMessages ? 0 : count;
    for (int i = 0; i < listed; ++i) {
        Message message;
        if (!nextName(&message.name) && report.problems.size() < 10) {
            report.problems << u"The name of message %1 does not fit into the names length."_s.arg(
                i);
        }
        message.firstSector = GetWordSwapped32(head.constData() + kTableOffset + 4 * i);
        const qint64 block = qint64(message.firstSector) * kSectorSize;
        if (file.seek(block)) {
            const QByteArray value = file.read(4);
            if (value.size() == 4) {
                message.lengthValue = GetWordSwapped32(value.constData());
            }
        }
        if (!message.lengthValue && report.problems.size() < 10) {
            report.problems << u"Message %1 starts beyond the end of the file."_s.arg(i);
        }
        report.messages.append(message);
    }
    if (at != names.size() && names.size() == namesLength) {
        report.problems
            << u"The names length is %1, the names take %2 bytes."_s.arg(namesLength).arg(at);
    }
    const std::optional<quint16> crc = ComputeSetFileCrc(file, CrcMethod::Fast);
    if (!crc) {
        return fail(file.errorString());
    }
    report.computedCrc = *crc;
    return report;
}
