#include "transfer/TransferCommands.h"

#include <QFile>
#include <QFileInfo>

#include "controller/ControllerSession.h"
#include "transfer/CategorySettings.h"
#include "transfer/TransferNameRules.h"
#include "transfer/WebUpload.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;

namespace {

TransferReport Report(Outcome outcome, QString reason = {}) {
    return TransferReport{outcome, std::move(reason)};
}

}  // namespace

bool TransferCommands::IsConnected() const {
    return session_ != nullptr && session_->IsConnected();
}

TransferReport TransferCommands::Upload(FileCategory category, const QString& localPath,
                                        const QString& itemText) {
    if (!IsConnected()) {
        return Report(Outcome::NotConnected);
    }
    const QFileInfo entry(localPath);
    if (!entry.exists()) {
        return Report(Outcome::NotFound);
    }

    if (category == FileCategory::Web) {
        const bool isWebRoot = entry.isDir() && itemText != u"."_s && itemText != u".."_s &&
                               itemText.compare(settings_.WebRootName(), Qt::CaseInsensitive) == 0;
        if (!isWebRoot) {
            return Report(Outcome::NotWebRoot);
        }
        return WebUpload(*session_, settings_, progress_).Run(localPath);
    }
    if (entry.isDir()) {
        return Report(Outcome::IsDirectory);
    }
    if (!TransferNameRules::IsTransferableFile(entry)) {
        return Report(Outcome::NotRegularFile);
    }
    if (TransferNameRules::IsRefusedLocalName(itemText)) {
        return Report(Outcome::RefusedName, itemText);
    }

    if (category == FileCategory::MessageSet) {
        QFile file(localPath);
        if (!file.open(QIODevice::ReadOnly)) {
            return Report(Outcome::CannotOpen);
        }
        const qint64 length = file.size();
        file.close();
        if (static_cast<quint64>(length) > flashCardSize_) {
            return Report(Outcome::LargerThanCard);
        }
    }

    if (!session_->Upload(itemText, localPath, settings_.TransferTypeFor(itemText), true)) {
        return Report(Outcome::Failed, session_->LastError());
    }
    return Report(Outcome::Done);
}

TransferReport TransferCommands::Download(const QString& localPath, const QString& itemText) {
    if (!IsConnected()) {
        return Report(Outcome::NotConnected);
    }
    if (!session_->Download(localPath, itemText, settings_.TransferTypeFor(itemText), true)) {
        return Report(Outcome::Failed, session_->LastError());
    }
    return Report(Outcome::Done);
}

bool TransferCommands::Delete(const QString& itemText) {
    const WaitCursor waitCursor;
    return IsConnected() && session_->DeleteRemoteFile(itemText);
}
