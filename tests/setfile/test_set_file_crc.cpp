#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTest>

#include "setfile/CrcAccumulator.h"
#include "setfile/SetFileCrc.h"
#include "tests/support/TestMain.h"

namespace {

QByteArray RandomBytes(qint64 size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

quint16 Reference(const QByteArray& bytes, quint16 crc = 0) {
    CrcTable table;
    BuildCrcTable(table);
    return UpdateCrc(table, reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), crc);
}

const uchar* Data(const QByteArray& bytes) {
    return reinterpret_cast<const uchar*>(bytes.constData());
}

}  // namespace

class SetFileCrcTest : public QObject {
    Q_OBJECT

private slots:
    void table() {
        CrcTable table;
        BuildCrcTable(table);
        QCOMPARE(table[0], 0);
        QCOMPARE(table[1], 0x1021);
        QCOMPARE(table[255], 0x1EF0);
    }

    void pairsAreTakenOddByteFirst() {
        // CRC-16/XMODEM of "badc".
        QCOMPARE(Reference("abcd"), 0x83CA);
        // A plain bit-at-a-time CRC-16/XMODEM of the data with each pair exchanged.
        auto xmodemOfSwapped = [](const QByteArray& bytes) {
            quint16 crc = 0;
            for (qsizetype k = 0; k < bytes.size(); ++k) {
                const uchar b = static_cast<uchar>(bytes[k ^ 1]);
                crc ^= static_cast<quint16>(b << 8);
                for (int bit = 0; bit < 8; ++bit) {
                    crc = (crc & 0x8000) != 0 ? static_cast<quint16>((crc << 1) ^ 0x1021)
                                              : static_cast<quint16>(crc << 1);
                }
            }
            return crc;
        };
        QCOMPARE(Reference("21436587"), xmodemOfSwapped("21436587"));
        const QByteArray random = RandomBytes(4096, 9);
        QCOMPARE(Reference(random), xmodemOfSwapped(random));
        // A last single byte pairs with a zero byte.
        QCOMPARE(Reference("abc"), Reference(QByteArray("abc\0", 4)));
    }

    void fastKernelsMatchTheReference() {
        const QByteArray bytes = RandomBytes(20000, 7);
        const quint16 starts[] = {0, 1, 0x8000, 0xFFFF, 0x1234};
        for (qint64 length : {0,   2,   8,   14,  16,   62,   64,   66,   126,   128,
                              130, 190, 192, 256, 1000, 4094, 4096, 8190, 19998, 20000}) {
            for (qint64 offset : {0, 1, 2, 5}) {
                const QByteArray piece = bytes.mid(offset, length);
                for (quint16 start : starts) {
                    const quint16 expected = Reference(piece, start);
                    QCOMPARE(UpdateCrcFast(Data(piece), piece.size(), start), expected);
                    QCOMPARE(UpdateCrcSliced(Data(piece), piece.size(), start), expected);
                }
            }
        }
    }

    void accumulatorTakesAnyPieces() {
        const QByteArray bytes = RandomBytes(300001, 11);
        QRandomGenerator generator(3);
        CrcAccumulator accumulator;
        qint64 offset = 0;
        while (offset < bytes.size()) {
            const qint64 piece = qMin<qint64>(generator.bounded(1, 5000), bytes.size() - offset);
            accumulator.Add(bytes.constData() + offset, piece);
            offset += piece;
        }
        QCOMPARE(accumulator.Count(), bytes.size());
        QCOMPARE(accumulator.Value(), Reference(bytes));

        CrcAccumulator limited(1001);
        limited.Add(bytes.constData(), 999);
        limited.AddZeros(5);
        QCOMPARE(limited.Count(), 1001);
        QCOMPARE(limited.Value(), Reference(bytes.left(999) + QByteArray(2, '\0')));
    }

    void piecesCombine() {
        const QByteArray a = RandomBytes(1234, 1);
        const QByteArray b = RandomBytes(778, 2);
        QCOMPARE(CrcAppendZeros(Reference(a), b.size()) ^ Reference(b), Reference(a + b));
        QCOMPARE(CrcAppendZeros(Reference(a), 4096), Reference(a + QByteArray(4096, '\0')));
        QCOMPARE(CrcAppendZeros(0x1234, 0), 0x1234);
    }

    void fileCrcStartsAtOffsetTwo() {
        QByteArray file = RandomBytes(8192, 5);
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const quint16 expected = Reference(file.mid(2));
        QCOMPARE(ComputeSetFileCrc(buffer), expected);
        QCOMPARE(ComputeSetFileCrc(buffer, CrcMethod::Fast), expected);
        // The stored CRC itself is not covered.
        file[0] = static_cast<char>(file[0] ^ 0x55);
        QCOMPARE(ComputeSetFileCrc(buffer), expected);
        file[8191] = static_cast<char>(file[8191] ^ 0x01);
        QVERIFY(ComputeSetFileCrc(buffer) != expected);
    }

    void fileCrcStopsAtItsCoverage() {
        QTemporaryFile file;
        QVERIFY(file.open());
        const qint64 end = 2 + kSetFileCrcCoverage;
        QVERIFY(file.resize(end + 4096));
        auto poke = [&file](qint64 offset, char value) {
            return file.seek(offset) && file.write(&value, 1) == 1;
        };
        QVERIFY(poke(end - 1, 0x40));
        const quint16 before = ComputeSetFileCrc(file, CrcMethod::Fast).value();
        QCOMPARE(ComputeSetFileCrc(file).value(), before);
        QVERIFY(before != 0);
        QVERIFY(poke(end, 0x7F));
        QVERIFY(poke(end + 4095, 0x7F));
        QCOMPARE(ComputeSetFileCrc(file, CrcMethod::Fast).value(), before);
        QVERIFY(poke(end - 2, 0x01));
        QVERIFY(ComputeSetFileCrc(file, CrcMethod::Fast).value() != before);
    }
};

VANTREL_TEST_GUILESS_MAIN(SetFileCrcTest)
#include "test_set_file_crc.moc"
