#include "ftp/AsciiLineEnds.h"

void AsciiLineEnds::ToWire(const char* data, qint64 size, QByteArray* out) {
    for (qint64 index = 0; index < size; ++index) {
        if (data[index] == '\n') {
            ++lineEndsToWire_;
            if (!lastWasCr_) {
                out->append('\r');
            }
        }
        out->append(data[index]);
        lastWasCr_ = data[index] == '\r';
    }
}

void AsciiLineEnds::FromWire(const char* data, qint64 size, QByteArray* out) {
    for (qint64 index = 0; index < size; ++index) {
        const char byte = data[index];
        if (lastWasCr_ && byte != '\n') {
            out->append('\r');
        }
        lastWasCr_ = byte == '\r';
        if (!lastWasCr_) {
            out->append(byte);
        }
    }
}

void AsciiLineEnds::FinishFromWire(QByteArray* out) {
    if (lastWasCr_) {
        out->append('\r');
        lastWasCr_ = false;
    }
}
