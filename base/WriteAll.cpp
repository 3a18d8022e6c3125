#include "base/WriteAll.h"

#include <QIODevice>

bool WriteAll(QIODevice& device, QByteArrayView bytes) {
    const char* data = bytes.data();
    qint64 remaining = bytes.size();
    while (remaining > 0) {
        const qint64 written = device.write(data, remaining);
        if (written <= 0) {
            return false;
        }
        data += written;
        remaining -= written;
    }
    return true;
}
