#include "tests/support/WaveFiles.h"

#include <QFile>
#include <QtEndian>

namespace wave_files {

namespace {

void Put16(QByteArray& bytes, int offset, quint16 value) {
    qToLittleEndian(value, bytes.data() + offset);
}
void Put32(QByteArray& bytes, int offset, quint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

}  // namespace

QByteArray MakeExact(qint64 totalBytes, const Format& format) {
    QByteArray bytes(totalBytes, Qt::Uninitialized);
    for (qint64 i = 0; i < totalBytes; ++i) {
        bytes[i] = PatternByte(i);
    }
    QByteArray header(44, '\0');
    header.replace(0, 4, "RIFF");
    Put32(header, 4, static_cast<quint32>(qMax<qint64>(totalBytes - 8, 0)));
    header.replace(8, 4, "WAVE");
    header.replace(12, 4, "fmt ");
    Put32(header, 16, 16);
    Put16(header, 20, format.formatTag);
    Put16(header, 22, format.channels);
    Put32(header, 24, format.samplesPerSecond);
    Put32(header, 28, format.samplesPerSecond * format.blockAlign);
    Put16(header, 32, format.blockAlign);
    Put16(header, 34, format.bitsPerSample);
    header.replace(36, 4, "data");
    Put32(header, 40, static_cast<quint32>(qMax<qint64>(totalBytes - 44, 0)));
    bytes.replace(0, qMin<qint64>(44, totalBytes), header.left(qMin<qint64>(44, totalBytes)));
    return bytes;
}

QByteArray Make(qint64 dataBytes, const Format& format) {
    return MakeExact(44 + dataBytes, format);
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace wave_files
