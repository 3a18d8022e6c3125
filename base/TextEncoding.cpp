#include "base/TextEncoding.h"

namespace text_encoding {

QString CutToBytes(const QString& text, int maxBytes) {
    if (maxBytes <= 0) {
        return {};
    }
    QByteArray bytes = ToFileBytes(text);
    if (bytes.size() <= maxBytes) {
        return text;
    }
    qsizetype cut = maxBytes;
    // Step back over UTF-8 continuation bytes so the cut lands on a character boundary.
    while (cut > 0 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80) {
        --cut;
    }
    return FromFileBytes(bytes.left(cut));
}

}  // namespace text_encoding
