#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "ftp/TransferType.h"
#include "transfer/FileCategory.h"

class QRegularExpression;

// The file category table of the settings file: per category its directory (a relative path with
// backslashes that serves below "/" on the controller and below the upload directory on the PC)
// and its extension, the name of the web root directory, the local upload directory and the
// extensions that travel in ASCII mode. Names are held in lower case; the upload directory is a
// local path and keeps its real case.
//
// A default-constructed table holds the built-in defaults with the relative upload directory
// "target".
class CategorySettings {
public:
    CategorySettings();

    // Reads every key (a missing file or key gives its default) and resolves the upload directory:
    // the stored value "target" (exactly so) becomes the part of workingDirectory before its first
    // "programs" (found without regard to case) followed by "target". A relative upload directory
    // is taken relative to workingDirectory from then on, wherever the process's working directory
    // moves later.
    void Load(const QString& settingsFile, const QString& workingDirectory);

    // Writes every key back in the order they are read. Goes on past a failed key; false, with
    // the first failure's reason in errorText, when any key could not be written.
    [[nodiscard]] bool Save(const QString& settingsFile, QString* errorText = nullptr) const;

    const QString& CategoryDir(FileCategory category) const {
        return categoryDir_[CategoryIndex(category)];
    }
    const QString& CategoryExtension(FileCategory category) const {
        return categoryExtension_[CategoryIndex(category)];
    }
    const QString& WebRootName() const { return webRootName_; }
    const QString& UploadDir() const { return uploadDir_; }
    const QString& AsciiExtensions() const { return asciiExtensions_; }

    // "/" followed by the category's directory, backslashes kept: /rfa\cfg\def.
    QString RemoteDirectoryFor(FileCategory category) const;

    // The category's directory below the upload directory, with the platform's separators and
    // made absolute against the working directory given to Load.
    QString LocalDirectoryFor(FileCategory category) const;

    // The text a local file name must contain to be listed in the category: "." and the
    // extension, or "." alone for the web category.
    QString LocalListFilter(FileCategory category) const;

    // ASCII when the name's extension (the text after its last ".", or the whole name without a
    // ".") occurs anywhere in the ASCII extension list, compared case-sensitively; else binary.
    TransferType TransferTypeFor(const QString& name) const;

    // The full paths, in their real case, of the web files in the tree below directory: per
    // directory its files grouped by web extension in list order (names matched without regard
    // to case, in name order), then the files of its subdirectories, depth first. Empty when the
    // web extension list is. Does not move the working directory; a directory reached twice
    // through links is walked once.
    QStringList CollectWebFiles(const QString& directory) const;

    // The remote path of localPath, a file in the tree below the web root directory
    // webRootDirectory: "/", the web category's directory, "\", the web root name and the
    // file's path below webRootDirectory with backslashes, all in lower case.
    QString WebRemotePath(const QString& webRootDirectory, const QString& localPath) const;

    // The remote path up to (not including) its last backslash; the path itself without one.
    static QString RemoteParentOf(const QString& remotePath);

private:
    void CollectWebFilesInto(const QString& directory, const QList<QRegularExpression>& patterns,
                             QStringList& visited, QStringList& files) const;

    std::array<QString, kFileCategoryCount> categoryDir_;
    std::array<QString, kFileCategoryCount> categoryExtension_;
    QString webRootName_;
    QString uploadDir_;
    QString asciiExtensions_;
    // The working directory given to Load; a relative upload directory lies below it.
    QString baseDirectory_;
};
