#pragma once

#include <QBuffer>

// A buffer device whose writes fail once the device would grow beyond a number of bytes, as a
// full disk does: the write that crosses the limit is short, the next one fails with an error text.
class FailingDevice : public QBuffer {
public:
    explicit FailingDevice(qint64 limit) : limit_(limit) {}

    static QString ErrorText() { return QStringLiteral("No space left on device"); }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        const qint64 room = limit_ - pos();
        if (room <= 0) {
            setErrorString(ErrorText());
            return -1;
        }
        return QBuffer::writeData(data, qMin(length, room));
    }

private:
    qint64 limit_;
};
