#pragma once

#include <QByteArray>
#include <QString>

// The one place where texts become the bytes stored in files (settings, info files, set files) and
// back. The encoding is UTF-8, the encoding of file names and text files on this platform; lengths
// that the file formats count in bytes are the lengths of these byte strings.
namespace text_encoding {

inline QByteArray ToFileBytes(const QString& text) {
    return text.toUtf8();
}
inline QString FromFileBytes(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

// Cuts text so that its file bytes fit maxBytes, never inside a character.
QString CutToBytes(const QString& text, int maxBytes);

}  // namespace text_encoding
