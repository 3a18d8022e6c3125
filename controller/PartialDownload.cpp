#include "controller/PartialDownload.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

PartialDownload::PartialDownload(const QString& destination)
    : destination_(destination), file_(destination + QStringLiteral(".part-XXXXXX")) {}

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
