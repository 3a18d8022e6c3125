#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

class QIODevice;

// The CRC of a message set file: CRC-16 with the polynomial 0x1021, most significant bit first,
// initial value 0, no final XOR, over the file's bytes taken in pairs with the byte at the odd
// offset first (the file read as little-endian 16-bit words, each word high byte first).
//
// BuildCrcTable and UpdateCrc are the plain table method and stay the reference; UpdateCrcFast
// gives identical results several times faster (carry-less multiplication where the processor has
// it, eight table look-ups per eight bytes otherwise).

using CrcTable = std::array<quint16, 256>;

// The most bytes after the CRC field that the CRC covers: one block of 65534 bytes and 2048 of
// 65536. A longer file's further bytes are not included.
inline constexpr qint64 kSetFileCrcCoverage = 65534 + 2048LL * 65536;

// Entry i is the CRC step of the byte i: i * x^16 mod 0x11021 (entry 1 is 0x1021, entry 255 is
// 0x1EF0).
void BuildCrcTable(CrcTable& table);

// The CRC after processing length bytes of data in pairs (data[k + 1] first, then data[k]),
// starting from crc. length is meant to be even; a last single byte is processed as the first byte
// of a pair whose second byte is zero.
quint16 UpdateCrc(const CrcTable& table, const uchar* data, qint64 length, quint16 crc);

// The same result as UpdateCrc, faster.
quint16 UpdateCrcFast(const uchar* data, qint64 length, quint16 crc);

// The same result as UpdateCrc with the portable eight-byte table method, whatever the processor.
quint16 UpdateCrcSliced(const uchar* data, qint64 length, quint16 crc);

// The CRC of some bytes followed by zeroBytes zero bytes, given the CRC crc of those bytes (an even
// number of them). With it the CRC of two pieces combines as
// CrcAppendZeros(crc(A), size of B) ^ crc(B) when A has an even length.
quint16 CrcAppendZeros(quint16 crc, quint64 zeroBytes);

enum class CrcMethod { Reference, Fast };

// The CRC of the set file open in file, from offset 2 to its end (at most kSetFileCrcCoverage
// bytes), read back in blocks of 64 KB. Nothing when the file cannot be positioned or read.
std::optional<quint16> ComputeSetFileCrc(QIODevice& file, CrcMethod method = CrcMethod::Reference);
