#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// Wave files made by the tests themselves.
namespace wave_files {

struct Format {
    quint16 formatTag = 1;
    quint16 channels = 1;
    quint32 samplesPerSecond = 44100;
    quint16 blockAlign = 2;
    quint16 bitsPerSample = 16;
};

// A canonical 44-byte RIFF/WAVE header with the given format, followed by dataBytes bytes of a
// pattern that differs from byte to byte (so misplaced copies show), totalling 44 + dataBytes.
QByteArray Make(qint64 dataBytes, const Format& format = Format());

// A file of exactly totalBytes whose bytes 0..35 are a valid header of the given format (when
// totalBytes allows) and whose further bytes are the pattern; for sizes below 44 or for odd
// layouts.
QByteArray MakeExact(qint64 totalBytes, const Format& format = Format());

// A stretch of sine tone: seconds long, at frequency Hz, its peak at peakDbfs (dB of full scale),
// starting at phase radians; a frequency of 0 makes silence.
struct Tone {
    double seconds = 1.0;
    double frequency = 1000.0;
    double peakDbfs = -20.0;
    double phase = 0.0;
};

// A wave file in the message format (mono, 16 bits, 44.1 kHz, 44-byte header) holding the tones one
// after the other, rounded to 16 bits.
QByteArray Tones(const QList<Tone>& tones);

// Writes bytes to path; false when the file cannot be written.
bool Write(const QString& path, const QByteArray& bytes);

// The pattern byte at file offset.
inline char PatternByte(qint64 offset) {
    return static_cast<char>((offset * 7 + offset / 251) & 0xFF);
}

}  // namespace wave_files

Q_DECLARE_METATYPE(wave_files::Tone)
