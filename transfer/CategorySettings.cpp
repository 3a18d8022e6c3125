#include "transfer/CategorySettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "base/SettingsKeys.h"

using namespace Qt::StringLiterals;

namespace {

namespace keys = settings_keys;
static_assert(keys::kFileCategories == kFileCategoryCount);

// The category directory as a relative local path.
QString LocalRelative(const QString& categoryDir) {
    return QString(categoryDir).replace(u'\\', u'/');
}

}  // namespace

CategorySettings::CategorySettings()
    : webRootName_(keys::kWebRoot.Default().toLower()),
      uploadDir_(keys::kUploadDir.Default()),
      asciiExtensions_(keys::kAsciiExtensions.Default()) {
    for (int i = 0; i < kFileCategoryCount; ++i) {
        categoryDir_[i] = keys::kCategoryDir[i].Default();
        categoryExtension_[i] = keys::kCategoryExtension[i].Default();
    }
}

void CategorySettings::Load(const QString& settingsFile, const QString& workingDirectory) {
    for (FileCategory category : kAllFileCategories) {
        const int i = CategoryIndex(category);
        categoryDir_[i] = keys::kCategoryDir[i].Read(settingsFile).toLower();
    }
    webRootName_ = keys::kWebRoot.Read(settingsFile).toLower();
    for (FileCategory category : kAllFileCategories) {
        const int i = CategoryIndex(category);
        categoryExtension_[i] = keys::kCategoryExtension[i].Read(settingsFile).toLower();
    }

    baseDirectory_ = workingDirectory;
    const QString upload = keys::kUploadDir.Read(settingsFile);
    if (upload == keys::kUploadDir.Default()) {
        // Tools installed as <base>\programs\... keep their files in <base>\target.
        const qsizetype programs = workingDirectory.indexOf(u"programs"_s, 0, Qt::CaseInsensitive);
        uploadDir_ = (programs < 0 ? QString() : workingDirectory.left(programs)) + upload;
    } else {
        uploadDir_ = upload;
    }

    asciiExtensions_ = keys::kAsciiExtensions.Read(settingsFile).toLower();
}

bool CategorySettings::Save(const QString& settingsFile, QString* errorText) const {
    bool saved = true;
    auto write = [&](const SettingsKey& key, const QString& value) {
        QString reason;
        if (!key.Write(settingsFile, value, &reason)) {
            if (saved && errorText != nullptr) {
                *errorText = reason;
            }
            saved = false;
        }
    };
    for (FileCategory category : kAllFileCategories) {
        write(keys::kCategoryDir[CategoryIndex(category)], CategoryDir(category));
    }
    write(keys::kWebRoot, webRootName_);
    for (FileCategory category : kAllFileCategories) {
        write(keys::kCategoryExtension[CategoryIndex(category)], CategoryExtension(category));
    }
    write(keys::kUploadDir, uploadDir_);
    write(keys::kAsciiExtensions, asciiExtensions_);
    return saved;
}

QString CategorySettings::RemoteDirectoryFor(FileCategory category) const {
    return u'/' + CategoryDir(category);
}

QString CategorySettings::LocalDirectoryFor(FileCategory category) const {
    const QString upload =
        baseDirectory_.isEmpty() ? uploadDir_ : QDir(baseDirectory_).filePath(uploadDir_);
    return QDir::toNativeSeparators(upload + u'/' + LocalRelative(CategoryDir(category)));
}

QString CategorySettings::LocalListFilter(FileCategory category) const {
    if (category == FileCategory::Web) {
        return u"."_s;
    }
    return u'.' + CategoryExtension(category);
}

TransferType CategorySettings::TransferTypeFor(const QString& name) const {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? name : name.mid(dot + 1);
    return asciiExtensions_.contains(extension, Qt::CaseSensitive) ? TransferType::Ascii
                                                                   : TransferType::Binary;
}

QStringList CategorySettings::CollectWebFiles(const QString& directory) const {
    QStringList files;
    const QString& extensions = CategoryExtension(FileCategory::Web);
    if (extensions.isEmpty()) {
        return files;
    }
    QList<QRegularExpression> patterns;
    for (const QString& extension : extensions.split(u';', Qt::SkipEmptyParts)) {
        patterns << QRegularExpression::fromWildcard(u"*."_s + extension, Qt::CaseInsensitive);
    }
    QStringList visited;
    CollectWebFilesInto(directory, patterns, visited, files);
    return files;
}

void CategorySettings::CollectWebFilesInto(const QString& directory,
                                           const QList<QRegularExpression>& patterns,
                                           QStringList& visited, QStringList& files) const {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical)) {
        return;
    }
    visited << canonical;

    // The folder is read once; each pattern then picks its files from the entries.
    const QFileInfoList entries = QDir(directory).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
        QDir::Name | QDir::IgnoreCase);
    for (const QRegularExpression& pattern : patterns) {
        for (const QFileInfo& entry : entries) {
            if (entry.isFile() && pattern.match(entry.fileName()).hasMatch()) {
                files << QDir::toNativeSeparators(entry.absoluteFilePath());
            }
        }
    }
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            CollectWebFilesInto(entry.absoluteFilePath(), patterns, visited, files);
        }
    }
}

QString CategorySettings::WebRemotePath(const QString& webRootDirectory,
                                        const QString& localPath) const {
    const QString below = QDir(webRootDirectory).relativeFilePath(localPath);
    return (u'/' + CategoryDir(FileCategory::Web) + u'\\' + webRootName_ + u'\\' +
            QString(below).replace(u'/', u'\\'))
        .toLower();
}

QString CategorySettings::RemoteParentOf(const QString& remotePath) {
    const qsizetype backslash = remotePath.lastIndexOf(u'\\');
    return backslash < 0 ? remotePath : remotePath.left(backslash);
}
