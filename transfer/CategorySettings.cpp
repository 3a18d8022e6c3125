#include "transfer/CategorySettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/PrivateProfile.h"

using namespace Qt::StringLiterals;

namespace {

// Read buffers of the keys, in characters with the terminating zero.
constexpr int kDirBuffer = 260;
constexpr int kExtensionBuffer = 256;

const std::array<QString, kFileCategoryCount> kDefaultDirs = {
    u"mmu"_s, u"rfa\\cfg"_s, u"rfa\\fw"_s, u"boot"_s, u"rfa\\drv"_s, u"rfa\\cfg\\def"_s, u"rfa"_s};
const std::array<QString, kFileCategoryCount> kDefaultExtensions = {
    u"set"_s,
    u"cfg"_s,
    u"uim"_s,
    u"bim"_s,
    u"bit"_s,
    u"cfg"_s,
    u"asp;jar;js;htm;gif;jpg;bmp;css;svg;vbs;java"_s};
const QString kDefaultWebRoot = u"Web"_s;
const QString kDefaultUploadDir = u"target"_s;
const QString kDefaultAscii = u"asp;js;htm;css;svg;vbs"_s;

const QString kDirKey = u"Dir"_s;
const QString kExtensionKey = u"Extension"_s;
const QString kWebSection = u"Web"_s;
const QString kRootKey = u"Root Direotory"_s;  // spelled so in every settings file
const QString kUploadSection = u"Upload"_s;
const QString kFtpSection = u"Ftp"_s;
const QString kAsciiKey = u"Ascii"_s;

// The category directory as a relative local path.
QString LocalRelative(const QString& categoryDir) {
    return QString(categoryDir).replace(u'\\', u'/');
}

}  // namespace

CategorySettings::CategorySettings()
    : webRootName_(kDefaultWebRoot.toLower()),
      uploadDir_(kDefaultUploadDir),
      asciiExtensions_(kDefaultAscii) {
    for (int i = 0; i < kFileCategoryCount; ++i) {
        categoryDir_[i] = kDefaultDirs[i];
        categoryExtension_[i] = kDefaultExtensions[i];
    }
}

void CategorySettings::Load(const QString& settingsFile, const QString& workingDirectory) {
    for (FileCategory category : kAllFileCategories) {
        const int i = CategoryIndex(category);
        categoryDir_[i] = PrivateProfile::ReadString(settingsFile, CategorySection(category),
                                                     kDirKey, kDefaultDirs[i], kDirBuffer)
                              .toLower();
    }
    webRootName_ =
        PrivateProfile::ReadString(settingsFile, kWebSection, kRootKey, kDefaultWebRoot, kDirBuffer)
            .toLower();
    for (FileCategory category : kAllFileCategories) {
        const int i = CategoryIndex(category);
        categoryExtension_[i] =
            PrivateProfile::ReadString(settingsFile, CategorySection(category), kExtensionKey,
                                       kDefaultExtensions[i], kExtensionBuffer)
                .toLower();
    }

    baseDirectory_ = workingDirectory;
    const QString upload = PrivateProfile::ReadString(settingsFile, kUploadSection, kDirKey,
                                                      kDefaultUploadDir, kDirBuffer);
    if (upload == kDefaultUploadDir) {
        // Tools installed as <base>\programs\... keep their files in <base>\target.
        const qsizetype programs = workingDirectory.indexOf(u"programs"_s, 0, Qt::CaseInsensitive);
        uploadDir_ = (programs < 0 ? QString() : workingDirectory.left(programs)) + upload;
    } else {
        uploadDir_ = upload;
    }

    asciiExtensions_ = PrivateProfile::ReadString(settingsFile, kFtpSection, kAsciiKey,
                                                  kDefaultAscii, kExtensionBuffer)
                           .toLower();
}

bool CategorySettings::Save(const QString& settingsFile, QString* errorText) const {
    bool saved = true;
    auto write = [&](const QString& section, const QString& key, const QString& value) {
        QString reason;
        if (!PrivateProfile::WriteString(settingsFile, section, key, value, &reason)) {
            if (saved && errorText != nullptr) {
                *errorText = reason;
            }
            saved = false;
        }
    };
    for (FileCategory category : kAllFileCategories) {
        write(CategorySection(category), kDirKey, CategoryDir(category));
    }
    write(kWebSection, kRootKey, webRootName_);
    for (FileCategory category : kAllFileCategories) {
        write(CategorySection(category), kExtensionKey, CategoryExtension(category));
    }
    write(kUploadSection, kDirKey, uploadDir_);
    write(kFtpSection, kAsciiKey, asciiExtensions_);
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
