#include "site/MirrorJob.h"

#include <QSet>

#include "site/FileDigest.h"
#include "site/RemoteMirror.h"
#include "site/SetFileDifference.h"
#include "site/WorkerContext.h"

using namespace Qt::StringLiterals;

namespace {

bool IsMessageSet(const QString& historyPath) {
    return historyPath.startsWith(u"mmu/"_s, Qt::CaseInsensitive) &&
           historyPath.endsWith(u".set"_s, Qt::CaseInsensitive);
}

}  // namespace

bool MirrorJob::Run(WorkerContext& context, ControllerOutcome& outcome) {
    outcome.found.clear();
    outcome.removed.clear();
    outcome.details.clear();
    if (!context.Connect(Controller(), Password())) {
        return false;
    }
    QList<remote_mirror::RemoteFile> files;
    if (!remote_mirror::ListAll(context, cardPath_, &files)) {
        return false;
    }
    // What must be read: new files, files of another size, and with full or for status the rest.
    QList<remote_mirror::RemoteFile> toRead;
    qint64 total = 0;
    QSet<QString> listed;
    for (const remote_mirror::RemoteFile& file : files) {
        listed.insert(file.historyPath);
        const auto known = known_.constFind(file.historyPath);
        const bool differs = known == known_.cend() || known->size != file.size;
        if (differs || full_ || mode_ == Mode::Status) {
            toRead << file;
            total += file.size;
        }
        if (mode_ == Mode::Status && known == known_.cend()) {
            outcome.details << u"added %1 (%2 bytes)"_s.arg(file.historyPath).arg(file.size);
        } else if (mode_ == Mode::Status && known->size != file.size) {
            outcome.details << u"changed %1 (%2 -> %3 bytes)"_s.arg(file.historyPath)
                                   .arg(known->size)
                                   .arg(file.size);
        }
    }
    for (auto it = known_.cbegin(); it != known_.cend(); ++it) {
        if (!listed.contains(it.key())) {
            outcome.removed << it.key();
            if (mode_ == Mode::Status) {
                outcome.details << u"removed %1"_s.arg(it.key());
            }
        }
    }
    context.SetTotal(total);
    context.SetState(u"reading"_s);
    for (const remote_mirror::RemoteFile& file : toRead) {
        const QString local = context.StagingFile(u"found"_s, file.historyPath);
        if (!context.Download(file.remotePath, local)) {
            return false;
        }
        outcome.bytes += file.size;
        const QByteArray digest = file_digest::OfFile(local);
        const auto known = known_.constFind(file.historyPath);
        const bool sameSize = known != known_.cend() && known->size == file.size;
        if (sameSize && known->sha256 == digest) {
            continue;  // read for the comparison only
        }
        outcome.found << StagedFile{file.historyPath, local, digest, file.size};
        if (mode_ != Mode::Status || known == known_.cend()) {
            continue;
        }
        QString line = sameSize ? u"changed %1 (same size, other contents)"_s.arg(file.historyPath)
                                : QString();
        if (IsMessageSet(file.historyPath) && knownSets_.contains(file.historyPath)) {
            const QString difference = SetFileDifference(knownSets_.value(file.historyPath), local);
            if (line.isEmpty()) {
                const qsizetype index =
                    outcome.details.indexOf(u"changed %1 (%2 -> %3 bytes)"_s.arg(file.historyPath)
                                                .arg(known->size)
                                                .arg(file.size));
                if (index >= 0) {
                    outcome.details[index] += u": "_s + difference;
                }
            } else {
                line += u": "_s + difference;
            }
        }
        if (!line.isEmpty()) {
            outcome.details << line;
        }
    }
    const qsizetype changes = outcome.found.size() + outcome.removed.size();
    if (mode_ == Mode::Status) {
        outcome.message = outcome.details.isEmpty()
                              ? u"as the history has it"_s
                              : u"%1 difference(s) from the history"_s.arg(outcome.details.size());
    } else {
        outcome.message = changes == 0
                              ? u"no change"_s
                              : u"%1 file(s) new or changed, %2 removed"_s.arg(outcome.found.size())
                                    .arg(outcome.removed.size());
    }
    return true;
}
