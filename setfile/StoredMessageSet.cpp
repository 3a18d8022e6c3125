#include "setfile/StoredMessageSet.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>
#include <vector>

#include "audio/WaveHeader.h"
#include "base/RegularFile.h"
#include "base/WriteAll.h"
#include "setfile/MessageSetTexts.h"
#include "setfile/SetFileLayout.h"

using namespace Qt::StringLiterals;
using namespace set_file_layout;

namespace {

QString Hex(quint16 value) {
    return u"0x%1"_s.arg(value, 4, 16, QChar(u'0'));
}

// The length value halves the wave size, so a wave of odd size leaves one byte more in the set than
// one of even size. Padding is zero, so a byte there that is not must be sound. A zero byte is
// taken as padding: an odd block never ends on a sector boundary, so either way the set rebuilds
// with the same bytes.
bool KeepsOddByte(QFile& file, qint64 evenEnd) {
    char byte = 0;
    return file.seek(evenEnd) && file.getChar(&byte) && byte != 0;
}

}  // namespace

std::optional<StoredMessageSet> StoredMessageSet::Open(const QString& setPath, QString* error) {
    if (const QString refusal = regular_file::Refusal(setPath); !refusal.isEmpty()) {
        if (error != nullptr) {
            *error = refusal;
        }
        return std::nullopt;
    }
    QFile file(setPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) {
            *error = message_set_texts::CouldNotOpen(setPath) + u"\n"_s + file.errorString();
        }
        return std::nullopt;
    }
    QString reason;
    std::optional<SetFileReader::Report> report = SetFileReader::Read(file, &reason);
    if (!report) {
        if (error != nullptr) {
            *error = setPath + u": "_s + reason;
        }
        return std::nullopt;
    }
    StoredMessageSet set;
    set.path_ = setPath;
    set.report_ = std::move(*report);
    const qint64 fileSize = set.report_.actualSize;
    // A message's bytes end at the next block that starts after its own, or at the file's end.
    std::vector<qint64> blockStarts;
    for (const SetFileReader::Message& stored : set.report_.messages) {
        blockStarts.push_back(qint64(stored.firstSector) * kSectorSize);
    }
    std::sort(blockStarts.begin(), blockStarts.end());
    for (const SetFileReader::Message& stored : set.report_.messages) {
        Message message;
        message.name = stored.name;
        if (stored.lengthValue) {
            const qint64 blockStart = qint64(stored.firstSector) * kSectorSize;
            const auto next = std::upper_bound(blockStarts.begin(), blockStarts.end(), blockStart);
            const qint64 end = next == blockStarts.end() ? fileSize : qMin(*next, fileSize);
            message.readable = true;
            message.keptOffset = blockStart + kBlockHeaderSize;
            const qint64 room = qMax<qint64>(0, end - message.keptOffset);
            const qint64 evenSize = 2 * qint64(*stored.lengthValue) + 20;
            const qint64 evenKept = qMax<qint64>(0, evenSize - kWaveDataOffset);
            message.waveSize = evenSize;
            message.keptBytes = qMin(evenKept, room);
            message.cut = evenKept > room;
            if (evenSize >= kWaveDataOffset && evenKept < room &&
                KeepsOddByte(file, message.keptOffset + evenKept)) {
                ++message.keptBytes;
                ++message.waveSize;
            }
        }
        set.messages_.append(message);
    }
    return set;
}

QString StoredMessageSet::CrcStatusText() const {
    if (report_.CrcMatches()) {
        return u"CRC %1 matches"_s.arg(Hex(report_.storedCrc));
    }
    return u"CRC mismatch: stored %1, computed %2"_s.arg(Hex(report_.storedCrc),
                                                         Hex(report_.computedCrc));
}

QStringList StoredMessageSet::Warnings() const {
    QStringList warnings;
    if (!report_.CrcMatches()) {
        warnings << CrcStatusText() + u"."_s;
    }
    if (!report_.SizeMatches()) {
        warnings << u"Size mismatch: the header states %1 bytes, the file has %2."_s
                        .arg(report_.storedSize)
                        .arg(report_.actualSize);
    }
    warnings << report_.problems;
    for (int i = 0; i < messages_.size(); ++i) {
        const Message& message = messages_.at(i);
        if (message.cut) {
            warnings << u"Message %1 (%2) is cut short: the set holds %3 of its bytes."_s.arg(i)
                            .arg(message.name)
                            .arg(message.keptBytes);
        }
    }
    return warnings;
}

QString StoredMessageSet::StatusText() const {
    QStringList notes = Warnings();
    if (CrcMatches()) {
        notes.prepend(CrcStatusText() + u"."_s);
    }
    return notes.join(u' ');
}

MessageSetModel StoredMessageSet::ToModel() const {
    MessageSetModel model;
    model.setName = SetName();
    model.setFilePath = QDir::toNativeSeparators(path_);
    for (const Message& message : messages_) {
        model.entries.append(
            {message.name, MessageEntry::ClampSize(message.waveSize), model.setFilePath});
    }
    return model;
}

bool StoredMessageSet::WriteWave(int index, QIODevice& output, QString* error) const {
    auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    };
    if (index < 0 || index >= messages_.size() || !messages_.at(index).readable) {
        return fail(u"Message %1 lies beyond the end of %2."_s.arg(index).arg(path_));
    }
    const Message& message = messages_.at(index);
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(message.keptOffset)) {
        return fail(message_set_texts::CouldNotRead(path_, file.errorString()));
    }
    const qint64 size = message.cut ? kWaveDataOffset + message.keptBytes : message.waveSize;
    QByteArray prefix = wave_header::MonoPcm16(size - wave_header::kSize);
    prefix.append(kWaveDataOffset - wave_header::kSize, '\0');
    prefix.truncate(qMin<qint64>(size, kWaveDataOffset));
    if (!WriteAll(output, prefix)) {
        return fail(output.errorString());
    }
    std::vector<char> buffer(kCopyChunk);
    for (qint64 left = message.keptBytes; left > 0;) {
        const qint64 read = file.read(buffer.data(), qMin<qint64>(left, kCopyChunk));
        if (read <= 0) {
            return fail(message_set_texts::CouldNotRead(
                path_, read < 0 ? file.errorString() : u"The file ended early."_s));
        }
        if (!WriteAll(output, QByteArrayView(buffer.data(), read))) {
            return fail(output.errorString());
        }
        left -= read;
    }
    return true;
}

std::optional<QByteArray> StoredMessageSet::Wave(int index, QString* error) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WriteWave(index, buffer, error)) {
        return std::nullopt;
    }
    return bytes;
}

std::unique_ptr<QTemporaryFile> StoredMessageSet::WaveInTemporaryFile(int index,
                                                                      QString* error) const {
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + u"/vantrel-XXXXXX.wav"_s);
    if (!file->open()) {
        if (error != nullptr) {
            *error = message_set_texts::CouldNotCreate(file->fileTemplate()) + u"\n"_s +
                     file->errorString();
        }
        return nullptr;
    }
    if (!WriteWave(index, *file, error) || !file->flush()) {
        return nullptr;
    }
    return file;
}

std::optional<LoudnessMeasurement> StoredMessageSet::MeasureLoudness(
    int index, QString* error, const LoudnessMeter::KeepGoing& keepGoing) const {
    auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    if (index < 0 || index >= messages_.size() || !messages_.at(index).readable) {
        return fail(u"Message %1 lies beyond the end of %2."_s.arg(index).arg(path_));
    }
    const Message& message = messages_.at(index);
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(message.keptOffset)) {
        return fail(message_set_texts::CouldNotRead(path_, file.errorString()));
    }
    LoudnessMeter meter;
    // The wave's sound starts at offset 44: 12 bytes the set does not keep, silence in its wave.
    const std::vector<qint16> silence((kWaveDataOffset - wave_header::kSize) / 2, 0);
    meter.Add(silence.data(), qint64(silence.size()));
    std::vector<char> bytes(kCopyChunk);
    std::vector<qint16> samples(kCopyChunk / 2);
    for (qint64 left = message.keptBytes & ~qint64(1); left > 0;) {
        const qint64 read = file.read(bytes.data(), qMin<qint64>(left, kCopyChunk));
        if (read <= 0 || read % 2 != 0) {
            return fail(message_set_texts::CouldNotRead(
                path_, read < 0 ? file.errorString() : u"The file ended early."_s));
        }
        qFromLittleEndian<qint16>(bytes.data(), read / 2, samples.data());
        meter.Add(samples.data(), read / 2);
        left -= read;
        if (keepGoing && !keepGoing()) {
            return fail(u"cancelled"_s);
        }
    }
    return meter.Result();
}
