#include "tests/support/WaveFiles.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "audio/WaveHeader.h"

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

QByteArray Tones(const QList<Tone>& tones) {
    QByteArray data;
    for (const Tone& tone : tones) {
        const auto frames = static_cast<qint64>(std::llround(tone.seconds * 44100));
        const double amplitude = 32768 * std::pow(10.0, tone.peakDbfs / 20);
        const qsizetype start = data.size();
        data.resize(start + 2 * frames);
        for (qint64 i = 0; i < frames; ++i) {
            const double value =
                tone.frequency > 0
                    ? amplitude *
                          std::sin(2 * M_PI * tone.frequency * double(i) / 44100 + tone.phase)
                    : 0.0;
            const auto sample =
                static_cast<qint16>(std::clamp(std::lround(value), -32768L, 32767L));
            qToLittleEndian(sample, data.data() + start + 2 * i);
        }
    }
    return wave_header::MonoPcm16(data.size()) + data;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace wave_files
