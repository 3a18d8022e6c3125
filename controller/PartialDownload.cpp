#include "controller/PartialDownload.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

// The longest file name most file systems take, in bytes.
constexpr qsizetype kMaxNameBytes = 255;

// The template of the temporary file: the destination's name with ".part-XXXXXX", the name cut
// short where the whole would not fit kMaxNameBytes.
QString TemporaryTemplate(const QString& destination) {
    const QString suffix = QStringLiteral(".part-XXXXXX");
    const QFileInfo info(destination);
    QString name = info.fileName();
    while (!name.isEmpty() && QFile::encodeName(name + suffix).size() > kMaxNameBytes) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    }
    return destination.left(destination.size() - info.fileName().size()) + name + suffix;
}

}  // namespace

PartialDownload::PartialDownload(const QString& destination)
    : destination_(destination), file_(TemporaryTemplate(destination)) {}

bool PartialDownload::Open() {
    if (!file_.open()) {
        return false;
    }
    // The permissions a new file gets here, or those of the file it replaces.
    const QFileInfo existing(destination_);
    file_.setPermissions(existing.exists() ? existing.permissions()
                                           : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return true;
}

bool PartialDownload::Commit() {
    file_.close();
    if (file_.error() != QFileDevice::NoError) {
        return false;
    }
    std::error_code error;
    // Replaces the destination in one step where the system can.
    std::filesystem::rename(QFileInfo(file_.fileName()).filesystemAbsoluteFilePath(),
                            QFileInfo(destination_).filesystemAbsoluteFilePath(), error);
    if (error) {
        error_ = QString::fromLocal8Bit(error.message());
        return false;
    }
    file_.setAutoRemove(false);  // it is the destination now
    return true;
}
