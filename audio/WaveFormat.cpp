#include "audio/WaveFormat.h"

#include <QFile>
#include <QtEndian>

#include "base/RegularFile.h"

using namespace Qt::StringLiterals;

WaveFormat::Verdict WaveFormat::Examine(const QString& path, QString* message) {
    if (!regular_file::Refusal(path).isEmpty()) {
        return Verdict::Unreadable;  // opened, a pipe would block
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Verdict::Unreadable;
    }
    return ExamineHeader(file.read(36), message);
}

WaveFormat::Verdict WaveFormat::ExamineHeader(QByteArrayView header, QString* message) {
    if (header.size() < 36) {
        return Verdict::Unreadable;
    }
    const char* format = header.data() + 12;
    // Offsets within the 24 bytes from file offset 12.
    const quint16 formatTag = qFromLittleEndian<quint16>(format + 8);
    const quint16 channels = qFromLittleEndian<quint16>(format + 10);
    const quint32 samplesPerSecond = qFromLittleEndian<quint32>(format + 12);
    const quint16 blockAlign = qFromLittleEndian<quint16>(format + 20);
    const quint16 bitsPerSample = qFromLittleEndian<quint16>(format + 22);
    if (formatTag == 1 && channels == 1 && samplesPerSecond == 44100 && blockAlign == 2 &&
        bitsPerSample == 16) {
        return Verdict::Supported;
    }
    if (message != nullptr) {
        const QString channelWord = channels == 1   ? u"mono"_s
                                    : channels == 2 ? u"stereo"_s
                                                    : u"undefined"_s;
        *message = u"The selected file has an invalid wave format and will be ignored.\n"_s +
                   u"The supported wav format is mono, 16 bit, 44.1kHz.\n"_s +
                   u"The selected file is "_s + channelWord + u", "_s +
                   u"%1 bits"_s.arg(bitsPerSample) + u", "_s +
                   u"%1kHz"_s.arg(samplesPerSecond / 1000) + u"."_s;
    }
    return Verdict::Unsupported;
}
