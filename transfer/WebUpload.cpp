#include "transfer/WebUpload.h"

#include <QDir>
#include <QStringList>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "progress/ProgressSink.h"
#include "transfer/CategorySettings.h"
#include "transfer/EnsureRemoteDirectory.h"
#include "transfer/TransferNameRules.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;

TransferReport WebUpload::Run(const QString& rootDirectory) {
    const QStringList files = settings_.CollectWebFiles(rootDirectory);
    // A "\" in a name below the root would make the controller store the file elsewhere: the
    // whole upload is refused before anything is sent.
    for (const QString& localPath : files) {
        const QString below = QDir(rootDirectory).relativeFilePath(localPath);
        if (TransferNameRules::IsRefusedLocalName(below)) {
            return TransferReport{Outcome::RefusedName, below};
        }
    }

    std::unique_ptr<ProgressSink> progress = progress_.Create(ToolState::AppCaption());
    progress->MakeModal();
    progress->SetBarRange(0, static_cast<int>(files.size()), 1);

    TransferReport report;
    // The remote directory made for the file before. The files of one folder come one after the
    // other, so the directory walk is needed only where the folder changes.
    QString madeDirectory;
    for (const QString& localPath : files) {
        const QString remotePath = settings_.WebRemotePath(rootDirectory, localPath);
        progress->Advance();
        progress->PumpMessages();
        if (progress->IsCancelled()) {
            report.outcome = Outcome::Cancelled;
            break;
        }
        progress->SetText(u"Now uploading file : "_s + remotePath + u'\n');

        const QString remoteDirectory = CategorySettings::RemoteParentOf(remotePath);
        if (remoteDirectory != madeDirectory) {
            if (!EnsureRemoteDirectory(session_, remoteDirectory)) {
                // The directory operations leave the session's last error alone: name what failed.
                report.outcome = Outcome::Failed;
                report.reason = u"Could not create remote directory "_s + remoteDirectory;
                break;
            }
            madeDirectory = remoteDirectory;
        }
        if (!session_.Upload(remotePath, localPath, settings_.TransferTypeFor(remotePath), false)) {
            report.outcome = Outcome::Failed;
            report.reason = session_.LastError();
            break;
        }
    }
    progress->HideProgress();
    return report;
}
