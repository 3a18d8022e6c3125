#include "setfile/SetFileCrc.h"

#include <QIODevice>
#include <QtEndian>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VANTREL_CRC_CLMUL 1
#include <immintrin.h>
#endif

namespace {

constexpr quint32 kPolynomial = 0x11021;  // x^16 + x^12 + x^5 + 1

// x^n mod the polynomial.
constexpr quint16 PowerOfX(int n) {
    quint32 r = 1;
    for (int i = 0; i < n; ++i) {
        r <<= 1;
        if ((r & 0x10000) != 0) {
            r ^= kPolynomial;
        }
    }
    return static_cast<quint16>(r);
}

// a * b mod the polynomial.
constexpr quint16 MultiplyMod(quint16 a, quint16 b) {
    quint32 product = 0;
    for (int bit = 15; bit >= 0; --bit) {
        product <<= 1;
        if ((product & 0x10000) != 0) {
            product ^= kPolynomial;
        }
        if (((b >> bit) & 1) != 0) {
            product ^= a;
        }
    }
    return static_cast<quint16>(product);
}

// tables[k][b]: the CRC step of byte b followed by k zero bytes, b * x^(16 + 8k) mod P.
struct SlicingTables {
    std::array<CrcTable, 8> tables;

    SlicingTables() {
        BuildCrcTable(tables[0]);
        for (int k = 1; k < 8; ++k) {
            for (int b = 0; b < 256; ++b) {
                const quint16 previous = tables[k - 1][b];
                tables[k][b] = static_cast<quint16>(tables[0][previous >> 8] ^ (previous << 8));
            }
        }
    }
};

const SlicingTables& Tables() {
    static const SlicingTables tables;
    return tables;
}

inline quint16 Step(const CrcTable& table, quint16 crc, uchar byte) {
    return static_cast<quint16>(table[(crc >> 8) ^ byte] ^ (crc << 8));
}

// Pairs from data, for lengths of any size (the reference loop).
quint16 PairLoop(const CrcTable& table, const uchar* data, qint64 length, quint16 crc) {
    qint64 k = 0;
    for (; k + 1 < length; k += 2) {
        crc = Step(table, crc, data[k + 1]);
        crc = Step(table, crc, data[k]);
    }
    if (k < length) {
        crc = Step(table, crc, 0);
        crc = Step(table, crc, data[k]);
    }
    return crc;
}

#ifdef VANTREL_CRC_CLMUL

// Folds 16-byte blocks with carry-less multiplication. The bytes of each block are reordered so
// that the register holds the block as a polynomial of degree < 128 in processing order (the word
// order reversed, each little-endian word kept). The running remainder x stays congruent to the
// data processed so far; at the end its 16 bytes go through the table, which multiplies by x^16
// and reduces. Needs length >= 64; returns the CRC after the whole multiple of 16 bytes and sets
// *consumed.
#define VANTREL_CLMUL_TARGET __attribute__((target("pclmul,ssse3")))

VANTREL_CLMUL_TARGET inline __m128i LoadBlock(const uchar* p) {
    const __m128i order = _mm_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), order);
}

// x * x^d mod P up to congruence, for k holding x^d mod P (low) and x^(d + 64) mod P (high).
VANTREL_CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}

VANTREL_CLMUL_TARGET quint16 FoldClmul(const uchar* data, qint64 length, quint16 crc,
                                       qint64* consumed) {
    // Distances of 512 and 128 bits.
    const __m128i by4 = _mm_set_epi64x(PowerOfX(576), PowerOfX(512));
    const __m128i by1 = _mm_set_epi64x(PowerOfX(192), PowerOfX(128));

    // A starting CRC adds into the first 16 bits of the data.
    __m128i x0 = _mm_xor_si128(LoadBlock(data), _mm_slli_si128(_mm_cvtsi32_si128(crc), 14));
    __m128i x1 = LoadBlock(data + 16);
    __m128i x2 = LoadBlock(data + 32);
    __m128i x3 = LoadBlock(data + 48);
    qint64 offset = 64;
    for (; offset + 64 <= length; offset += 64) {
        const uchar* p = data + offset;
        x0 = _mm_xor_si128(Fold(x0, by4), LoadBlock(p));
        x1 = _mm_xor_si128(Fold(x1, by4), LoadBlock(p + 16));
        x2 = _mm_xor_si128(Fold(x2, by4), LoadBlock(p + 32));
        x3 = _mm_xor_si128(Fold(x3, by4), LoadBlock(p + 48));
    }
    __m128i x = _mm_xor_si128(Fold(x0, by1), x1);
    x = _mm_xor_si128(Fold(x, by1), x2);
    x = _mm_xor_si128(Fold(x, by1), x3);
    for (; offset + 16 <= length; offset += 16) {
        x = _mm_xor_si128(Fold(x, by1), LoadBlock(data + offset));
    }
    alignas(16) uchar bytes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), x);
    const CrcTable& table = Tables().tables[0];
    quint16 result = 0;
    for (int i = 15; i >= 0; --i) {
        result = Step(table, result, bytes[i]);
    }
    *consumed = offset;
    return result;
}

bool HasClmul() {
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
    return has;
}

#endif

}  // namespace

void BuildCrcTable(CrcTable& table) {
    for (quint32 i = 0; i < 256; ++i) {
        quint32 r = i * 256;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 0x8000) != 0 ? (r << 1) ^ 0x1021 : r << 1;
        }
        table[i] = static_cast<quint16>(r);
    }
}

quint16 UpdateCrc(const CrcTable& table, const uchar* data, qint64 length, quint16 crc) {
    return PairLoop(table, data, length, crc);
}

quint16 UpdateCrcSliced(const uchar* data, qint64 length, quint16 crc) {
    const auto& t = Tables().tables;
    qint64 k = 0;
    for (; k + 8 <= length; k += 8) {
        // The first little-endian word takes the CRC; pairs are processed odd byte first.
        const quint64 v = qFromLittleEndian<quint64>(data + k) ^ crc;
        crc = static_cast<quint16>(t[7][(v >> 8) & 0xFF] ^ t[6][v & 0xFF] ^ t[5][(v >> 24) & 0xFF] ^
                                   t[4][(v >> 16) & 0xFF] ^ t[3][(v >> 40) & 0xFF] ^
                                   t[2][(v >> 32) & 0xFF] ^ t[1][(v >> 56) & 0xFF] ^
                                   t[0][(v >> 48) & 0xFF]);
    }
    return PairLoop(t[0], data + k, length - k, crc);
}

quint16 UpdateCrcFast(const uchar* data, qint64 length, quint16 crc) {
#ifdef VANTREL_CRC_CLMUL
    if (length >= 128 && HasClmul()) {
        qint64 consumed = 0;
        crc = FoldClmul(data, length, crc, &consumed);
        return PairLoop(Tables().tables[0], data + consumed, length - consumed, crc);
    }
#endif
    return UpdateCrcSliced(data, length, crc);
}

quint16 CrcAppendZeros(quint16 crc, quint64 zeroBytes) {
    // crc * x^(8 * zeroBytes) mod P, by squaring x^8.
    quint16 factor = PowerOfX(8);
    quint16 result = crc;
    while (zeroBytes != 0) {
        if ((zeroBytes & 1) != 0) {
            result = MultiplyMod(result, factor);
        }
        factor = MultiplyMod(factor, factor);
        zeroBytes >>= 1;
    }
    return result;
}

std::optional<quint16> ComputeSetFileCrc(QIODevice& file, CrcMethod method) {
    CrcTable table;
    BuildCrcTable(table);
    if (!file.seek(2)) {
        return std::nullopt;
    }
    std::vector<uchar> buffer(65536);
    quint16 crc = 0;
    // The first block ends where the second would begin on a 64 KB boundary of the file.
    qint64 want = 65534;
    for (int block = 0; block <= 2048; ++block) {
        qint64 got = 0;
        while (got < want) {
            const qint64 n = file.read(reinterpret_cast<char*>(buffer.data()) + got, want - got);
            if (n < 0) {
                return std::nullopt;
            }
            if (n == 0) {
                break;
            }
            got += n;
        }
        crc = method == CrcMethod::Fast ? UpdateCrcFast(buffer.data(), got, crc)
                                        : UpdateCrc(table, buffer.data(), got, crc);
        if (got < want) {
            break;
        }
        want = 65536;
    }
    return crc;
}
