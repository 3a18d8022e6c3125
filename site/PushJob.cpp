#include "site/PushJob.h"

#include <QSet>

#include "controller/ControllerSession.h"
#include "site/FileDigest.h"
#include "site/SitePaths.h"
#include "site/WorkerContext.h"
#include "transfer/CategorySettings.h"
#include "transfer/EnsureRemoteDirectory.h"
#include "transfer/RemoteCategoryDirectory.h"

using namespace Qt::StringLiterals;

namespace {

QString Key(const QString& remotePath) {
    return remotePath.toLower();
}

}  // namespace

bool PushJob::Run(WorkerContext& context, ControllerOutcome& outcome) {
    outcome.written.clear();
    outcome.mayBeIncomplete.clear();
    outcome.details.clear();
    if (!context.Connect(Controller(), Password()) || !CheckCategory(context)) {
        return false;
    }
    QHash<QString, qint64> remoteSizes;
    if (!ReadRemoteSizes(context, &remoteSizes)) {
        return false;
    }
    if (options_.dryRun) {
        DescribeDryRun(remoteSizes, outcome);
        return true;
    }
    if (!MakeFolders(context) || !TakeReplaced(context, remoteSizes, outcome)) {
        return false;
    }
    qint64 total = 0;
    for (const Item& item : items_) {
        total += item.size * (options_.readBack ? 2 : 1);
    }
    context.SetTotal(context.Done() + total);
    for (const Item& item : items_) {
        if (!Send(context, item, outcome)) {
            return false;
        }
    }
    outcome.message =
        options_.readBack
            ? u"%1 %2 file(s); read back, SHA-256 matches"_s.arg(options_.verb).arg(items_.size())
            : u"%1 %2 file(s), not read back"_s.arg(options_.verb).arg(items_.size());
    return true;
}

bool PushJob::CheckCategory(WorkerContext& context) {
    if (options_.category != FileCategory::MessageSet) {
        return true;
    }
    QList<RemoteEntry> card;
    if (!context.List(cardPath_, true, &card)) {
        return false;
    }
    if (card.isEmpty()) {
        return context.Fail(
            retry_rule::Failure::Other,
            u"The controller has no flash card (%1 is not listed)."_s.arg(cardPath_));
    }
    const qint64 capacity = static_cast<qint64>(card.first().size);
    for (const Item& item : items_) {
        if (item.size > capacity) {
            return context.Fail(retry_rule::Failure::LargerThanCard,
                                u"The message set (%1 bytes) is larger than the flash card (%2 "
                                u"bytes); nothing was sent."_s.arg(item.size)
                                    .arg(capacity));
        }
    }
    return true;
}

bool PushJob::ReadRemoteSizes(WorkerContext& context, QHash<QString, qint64>* sizes) {
    context.SetState(u"listing"_s);
    QSet<QString> folders;
    for (const Item& item : items_) {
        folders.insert(CategorySettings::RemoteParentOf(item.remotePath));
    }
    for (const QString& folder : folders) {
        QList<RemoteEntry> entries;
        if (!context.List(folder, true, &entries)) {
            return false;
        }
        for (const RemoteEntry& entry : entries) {
            if (!entry.isDirectory) {
                sizes->insert(Key(folder + u'\\' + entry.name), static_cast<qint64>(entry.size));
            }
        }
    }
    return true;
}

void PushJob::DescribeDryRun(const QHash<QString, qint64>& remoteSizes,
                             ControllerOutcome& outcome) const {
    int changes = 0;
    for (const Item& item : items_) {
        const QString now =
            u"%1 bytes, sha256 %2"_s.arg(item.size).arg(file_digest::Short(item.sha256));
        const auto remote = remoteSizes.constFind(Key(item.remotePath));
        if (remote == remoteSizes.cend()) {
            outcome.details << u"%1: new -> %2"_s.arg(item.historyPath, now);
            ++changes;
            continue;
        }
        const auto known = known_.constFind(item.historyPath);
        const bool historyMatches = known != known_.cend() && known->size == *remote;
        const QString before =
            historyMatches
                ? u"%1 bytes, sha256 %2"_s.arg(*remote).arg(file_digest::Short(known->sha256))
                : u"%1 bytes (not in the history)"_s.arg(*remote);
        if (historyMatches && known->sha256 == item.sha256) {
            outcome.details << u"%1: unchanged (%2)"_s.arg(item.historyPath, now);
            continue;
        }
        outcome.details << u"%1: %2 -> %3"_s.arg(item.historyPath, before, now);
        ++changes;
    }
    outcome.message = u"dry run: %1 of %2 file(s) would change"_s.arg(changes).arg(items_.size());
}

bool PushJob::MakeFolders(WorkerContext& context) {
    QSet<QString> folders;
    for (const Item& item : items_) {
        folders.insert(CategorySettings::RemoteParentOf(item.remotePath));
    }
    for (const QString& folder : folders) {
        if (!RemoteCategoryDirectory::MayBeCreated(folder)) {
            continue;
        }
        RemoteDirectoryWalk walk = RemoteDirectoryWalk::NotMade;
        if (!context.Call([&] {
                walk = EnsureRemoteDirectory(context.Session(), folder);
                return walk == RemoteDirectoryWalk::Made;
            })) {
            return context.Fail(
                retry_rule::Failure::Other,
                walk == RemoteDirectoryWalk::NotBack
                    ? u"The folder %1 was made, but the controller could not go back to the "
                      u"folder it was in."_s.arg(folder)
                    : u"The folder %1 cannot be made on the controller."_s.arg(folder));
        }
    }
    return true;
}

bool PushJob::TakeReplaced(WorkerContext& context, const QHash<QString, qint64>& remoteSizes,
                           ControllerOutcome& outcome) {
    if (!replacedTaken_) {
        qint64 total = 0;
        for (const Item& item : items_) {
            total += remoteSizes.value(Key(item.remotePath), 0);
        }
        context.SetTotal(total);
        context.SetState(u"saving the old files"_s);
        QList<StagedFile> replaced;
        for (const Item& item : items_) {
            const auto remote = remoteSizes.constFind(Key(item.remotePath));
            if (remote == remoteSizes.cend()) {
                continue;
            }
            const QString local = context.StagingFile(u"replaced"_s, item.historyPath);
            if (!context.Download(item.remotePath, local)) {
                return false;  // nothing sent yet: the next try takes them again
            }
            outcome.bytes += *remote;
            replaced << StagedFile{item.historyPath, local, file_digest::OfFile(local), *remote};
        }
        replaced_ = replaced;
        replacedTaken_ = true;
    }
    outcome.found = replaced_;
    return true;
}

bool PushJob::Send(WorkerContext& context, const Item& item, ControllerOutcome& outcome) {
    context.SetState(u"sending"_s);
    if (!context.Upload(item.remotePath, item.localFile)) {
        outcome.mayBeIncomplete << item.remotePath;
        return false;
    }
    outcome.bytes += item.size;
    if (!options_.readBack) {
        return true;
    }
    context.SetState(u"reading back"_s);
    const QString local = context.StagingFile(u"read-back"_s, item.historyPath);
    if (!context.Download(item.remotePath, local)) {
        outcome.mayBeIncomplete << item.remotePath;
        return false;
    }
    outcome.bytes += item.size;
    const QByteArray digest = file_digest::OfFile(local);
    if (digest != item.sha256) {
        outcome.mayBeIncomplete << item.remotePath;
        return context.Fail(retry_rule::Failure::Other,
                            u"%1 read back from the controller differs from what was sent "
                            u"(sha256 %2 sent, %3 read back)."_s.arg(item.remotePath)
                                .arg(file_digest::Short(item.sha256), file_digest::Short(digest)));
    }
    outcome.written << StagedFile{item.historyPath, local, digest, item.size};
    return true;
}
