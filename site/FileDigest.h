#pragma once

#include <QByteArray>
#include <QString>

// SHA-256 of bytes and of files, as lower-case hex: the digest the record and the read-back
// compare.
namespace file_digest {

QByteArray OfBytes(const QByteArray& bytes);
// Empty when the file cannot be read.
QByteArray OfFile(const QString& path);
// The first 12 characters, for tables.
inline QString Short(const QByteArray& digest) {
    return QString::fromLatin1(digest.left(12));
}

}  // namespace file_digest
