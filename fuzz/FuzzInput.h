#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

// Helpers of the fuzz targets: the input as bytes and as a file.
namespace fuzz_input {

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Writes the input into a file of this process's own (one per name, rewritten for each input)
// and returns its path; empty when it cannot be written.
inline QString AsFile(const QByteArray& bytes, const QString& name) {
    const QString path = QDir::temp().filePath(
        QStringLiteral("vantrel-fuzz-%1-").arg(QCoreApplication::applicationPid()) + name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

}  // namespace fuzz_input
