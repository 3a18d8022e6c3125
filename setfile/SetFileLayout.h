#pragma once

#include <QtGlobal>

// Offsets, sizes and byte orders of the message set file (".set"):
//
//   0x0000  LE16   CRC of the bytes from 0x0002 to the end (SetFileCrc.h)
//   0x0002         2 zero bytes
//   0x0004  WS32   message table, 1023 entries: sector (offset / 512) of each message's block
//   0x1000  WS32   total size of the file, a multiple of 4096
//   0x1004  LE16   number of messages N
//   0x1006  LE16   names length: bytes from 0x1008 to the end of the last name
//   0x1008         set name and then each message name, each as a length byte and its bytes
//   then           1 to 512 zero bytes up to the next multiple of 512
//   per message    a block at a multiple of 512: WS32 (wave size - 20) / 2, 0x01, 0x00, 10 zero
//                  bytes, the wave file's bytes from offset 56 on; then 1 to 512 zero bytes
//   at the end     after the last block's 512-padding, 512 to 4096 zero bytes up to the next
//                  multiple of 4096
//
// Paddings are never empty: a size already on the boundary gets a full 512 or 4096 bytes.
// WS32 ("word-swapped") stores bits 16-23, 24-31, 0-7, 8-15: 0x00012345 is 01 00 45 23.
namespace set_file_layout {

inline constexpr int kMaxMessages = 1023;
inline constexpr qint64 kTableOffset = 0x0004;
inline constexpr qint64 kTotalSizeOffset = 0x1000;
inline constexpr qint64 kCountOffset = 0x1004;
inline constexpr qint64 kNamesLengthOffset = 0x1006;
inline constexpr qint64 kNamesOffset = 0x1008;
inline constexpr qint64 kSectorSize = 512;
inline constexpr qint64 kFileAlignment = 4096;
inline constexpr qint64 kBlockHeaderSize = 16;
inline constexpr qint64 kWaveHeaderSize = 36;  // the least a wave file must have
inline constexpr qint64 kWaveDataOffset = 56;  // where the copied bytes of a wave file start
inline constexpr qint64 kCopyChunk = 81920;    // one step of the progress bar
inline constexpr int kMaxNameBytes = 255;      // a name's length byte
inline constexpr qint64 kMaxNamesLength = 0xFFFF;
inline constexpr qint64 kMaxFileSize = 0xFFFFFFFF;

// The zero bytes that pad size up to the next multiple of m: 1 to m, never 0.
constexpr qint64 PaddingTo(qint64 size, qint64 m) {
    return m - size % m;
}

inline void PutLe16(char* p, quint16 v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

inline void PutWordSwapped32(char* p, quint32 v) {
    p[0] = static_cast<char>((v >> 16) & 0xFF);
    p[1] = static_cast<char>((v >> 24) & 0xFF);
    p[2] = static_cast<char>(v & 0xFF);
    p[3] = static_cast<char>((v >> 8) & 0xFF);
}

inline quint16 GetLe16(const char* p) {
    return static_cast<quint16>(static_cast<uchar>(p[0]) | (static_cast<uchar>(p[1]) << 8));
}

inline quint32 GetWordSwapped32(const char* p) {
    auto b = [p](int i) { return static_cast<quint32>(static_cast<uchar>(p[i])); };
    return (b(0) << 16) | (b(1) << 24) | b(2) | (b(3) << 8);
}

}  // namespace set_file_layout
