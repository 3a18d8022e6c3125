#include "audio/WaveHeader.h"

#include <QtEndian>

namespace wave_header {

QByteArray MonoPcm16(qint64 dataBytes) {
    constexpr quint16 kBlockAlign = 2;
    const auto data = static_cast<quint32>(qBound<qint64>(0, dataBytes, 0xFFFFFFFFLL - 36));
    QByteArray header(kSize, '\0');
    char* p = header.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(data + 36, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);  // PCM
    qToLittleEndian<quint16>(1, p + 22);  // mono
    qToLittleEndian<quint32>(kSampleRate, p + 24);
    qToLittleEndian<quint32>(kSampleRate * kBlockAlign, p + 28);
    qToLittleEndian<quint16>(kBlockAlign, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(data, p + 40);
    return header;
}

}  // namespace wave_header
