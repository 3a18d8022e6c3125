#pragma once

#include <QByteArray>
#include <QtGlobal>

// The standard 44-byte header of a wave file in the one format a message can have: RIFF/WAVE, a
// 16-byte "fmt " chunk of PCM, mono, 44100 samples per second, 16 bits, and a "data" chunk.
namespace wave_header {

inline constexpr int kSize = 44;
inline constexpr int kSampleRate = 44100;

// The header of a file whose data chunk holds dataBytes bytes (cut to what the 32-bit size fields
// can hold).
QByteArray MonoPcm16(qint64 dataBytes);

}  // namespace wave_header
