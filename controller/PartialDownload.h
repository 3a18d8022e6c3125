#pragma once

#include <QString>
#include <QTemporaryFile>

// The file a download is written into: a temporary file beside the destination (its name with
// ".part-" and six characters, cut so that the whole stays within 255 bytes) that replaces it
// only on Commit, so that a failed or cancelled download leaves the destination as it was; the
// temporary file is removed on every other path. Unlike a save file it is not synced to the disk
// on commit (a download can be fetched again; a sync costs as much as the transfer of a large
// file).
class PartialDownload {
public:
    explicit PartialDownload(const QString& destination);

    // False with ErrorString() when the file cannot be created there.
    [[nodiscard]] bool Open();
    QIODevice& Device() { return file_; }
    // Replaces the destination with what was written. False with ErrorString() on failure.
    [[nodiscard]] bool Commit();
    QString ErrorString() const { return error_.isEmpty() ? file_.errorString() : error_; }

private:
    QString destination_;
    QTemporaryFile file_;
    QString error_;
};
