#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads an installation's history repository back with libgit2 itself, independently of the
// program's own history class: what the tests check the program wrote.
class HistoryReader {
public:
    explicit HistoryReader(QString folder) : folder_(std::move(folder)) {}

    // Commits reachable from HEAD; 0 without any.
    int Commits() const;
    // The file at path ("c1/rfa/cfg/system.cfg") in the revision; nullopt when not there.
    std::optional<QByteArray> File(const QString& path, const QString& revision = {}) const;
    // The blob id of path (hex); empty when not there.
    QByteArray BlobId(const QString& path, const QString& revision = {}) const;
    QString Message(const QString& revision = {}) const;
    // "name <email>" of the revision's author.
    QString Author(const QString& revision = {}) const;

private:
    QString folder_;
};
