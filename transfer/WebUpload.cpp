#include "transfer/WebUpload.h"

#include <QDir>
#include <QStringList>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "controller/FtpFailureText.h"
#include "base/ProgressSink.h"
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
    // The files sent to madeDirectory, checked with one listing once its run of files ends.
    QList<stored_size_check::StoredFile> sentHere;
    const auto checkSentHere = [&] {
        if (!sentHere.isEmpty() && !session_.CheckStored(madeDirectory, sentHere)) {
            report = TransferReport{Outcome::Failed, session_.LastError()};
            return false;
        }
        sentHere.clear();
        return true;
    };
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
            if (!checkSentHere()) {
                break;
            }
            const RemoteDirectoryWalk walk = EnsureRemoteDirectory(session_, remoteDirectory);
            if (walk != RemoteDirectoryWalk::Made) {
                // The directory operations leave the session's last error alone: name what failed.
                report.outcome = Outcome::Failed;
                report.reason =
                    walk == RemoteDirectoryWalk::NotMade
                        ? u"Could not create remote directory "_s + remoteDirectory
                        : u"Could not return to the remote directory after creating "_s +
                              remoteDirectory;
                break;
            }
            madeDirectory = remoteDirectory;
        }
        // This window serves the file too: its Cancel is read while the file goes.
        stored_size_check::Sent sent;
        if (!session_.UploadOneOf(*progress, remotePath, localPath,
                                  settings_.TransferTypeFor(remotePath), &sent)) {
            const bool incomplete = session_.RemoteFileMayBeIncomplete();
            report =
                progress->IsCancelled()
                    ? TransferReport{Outcome::Cancelled,
                                     incomplete ? ftp_failure_text::IncompleteUpload() : QString()}
                    : TransferReport{Outcome::Failed, session_.LastError()};
            break;
        }
        // A name sent twice (two local names that differ in case only) is checked as sent last.
        sentHere.removeIf([&](const auto& file) { return file.remotePath == remotePath; });
        sentHere.append({remotePath, localPath, sent});
    }
    if (report.outcome == Outcome::Done) {
        (void)checkSentHere();
    }
    progress->HideProgress();
    return report;
}
