#include "ftp/RemoteName.h"

namespace remote_name {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at bytes[index], 0 when it is not one.
qsizetype ValidSequence(const QByteArray& bytes, qsizetype index) {
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(index);
    if (lead < 0x80) {
        return 1;
    }
    qsizetype length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (index + length > bytes.size()) {
        return 0;
    }
    for (qsizetype next = 1; next < length; ++next) {
        if ((byte(index + next) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(index + next) & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

}  // namespace

QString FromBytes(const QByteArray& bytes) {
    QString text;
    qsizetype runStart = 0;
    qsizetype index = 0;
    while (index < bytes.size()) {
        const qsizetype length = ValidSequence(bytes, index);
        if (length > 0) {
            index += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + runStart, index - runStart);
        text +=
            QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[index])));
        runStart = ++index;
    }
    text += QString::fromUtf8(bytes.constData() + runStart, index - runStart);
    return text;
}

QByteArray ToBytes(const QString& text) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index].unicode();
        const bool escaped = unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF &&
                             (index == 0 || !text[index - 1].isHighSurrogate());
        if (escaped) {
            bytes += QStringView(text).mid(runStart, index - runStart).toUtf8();
            bytes += static_cast<char>(unit - kEscapeBase);
            runStart = index + 1;
        }
    }
    bytes += QStringView(text).mid(runStart).toUtf8();
    return bytes;
}

}  // namespace remote_name
