#include "browse/FolderListing.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
bool EndsWithNoCase(const QString& name, QStringView suffix) {
    return name.endsWith(suffix, Qt::CaseInsensitive);
}
}  // namespace

FolderListing::Entries FolderListing::Read(const QString& folderPath) {
    Entries entries;
    const QFileInfo folderInfo(folderPath);
    if (folderPath.isEmpty() || !folderInfo.isDir() || !folderInfo.isReadable()) {
        return entries;
    }
    entries.readable = true;
    // One pass over the folder; folders and files are split as they come so that each group keeps
    // the file system's order.
    QDirIterator it(folderPath,
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            entries.folders.append(info.fileName());
        } else if (info.isFile()) {
            // Pipes, sockets and devices are left out: opening one to check it could block.
            entries.files.append(info.fileName());
        }
    }
    return entries;
}

bool FolderListing::IsWaveOrSetName(const QString& name) {
    return IsWaveName(name) || IsSetName(name);
}

bool FolderListing::IsWaveName(const QString& name) {
    return EndsWithNoCase(name, u".wav");
}

bool FolderListing::IsSetName(const QString& name) {
    return EndsWithNoCase(name, u".set");
}

bool FolderListing::IncludeFile(const QString& name, int fileFilter) {
    if (fileFilter == kWaveAndSetFiles) {
        return IsWaveOrSetName(name);
    }
    return true;
}

int FolderListing::FindName(const QStringList& names, const QString& part) {
    const int exact = static_cast<int>(names.indexOf(part));
    if (exact >= 0) {
        return exact;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(part, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString FolderListing::LabelFor(const QString& realName, const QString& displayName) {
    if (IsWaveOrSetName(realName)) {
        return realName.toLower();
    }
    return displayName.isEmpty() ? realName : displayName;
}
