#include "transfer/TransferListing.h"

#include <QDir>

#include "controller/ControllerSession.h"
#include "controller/RemoteFinder.h"
#include "transfer/TransferNameRules.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;

void TransferListing::Insert(QList<Entry>& entries, qsizetype& directories, Entry entry) {
    if (entry.isDirectory) {
        entries.insert(directories++, std::move(entry));
    } else {
        entries.append(std::move(entry));
    }
}

QList<TransferListing::Entry> TransferListing::Local(const QString& directory,
                                                     const QString& filter) {
    QList<Entry> entries;
    qsizetype directories = 0;
    const QFileInfoList found = QDir(directory).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : found) {
        const QString name = info.fileName();
        const bool isDirectory = info.isDir();
        // Pipes, sockets and devices are never listed: opening one to send it would block.
        if (name == u"."_s || (!isDirectory && (!name.contains(filter, Qt::CaseSensitive) ||
                                                !TransferNameRules::IsTransferableFile(info)))) {
            continue;
        }
        Insert(entries, directories, {name, isDirectory});
    }
    return entries;
}

QList<TransferListing::Entry> TransferListing::Remote(ControllerSession* session) {
    QList<Entry> entries;
    if (session == nullptr || !session->IsConnected()) {
        return entries;
    }
    const WaitCursor waitCursor;  // the listing blocks until the controller has sent it
    std::unique_ptr<RemoteFinder> finder = session->NewRemoteFinder();
    if (finder == nullptr) {
        return entries;
    }
    qsizetype directories = 0;
    if (finder->FindFirst(u"*"_s)) {
        do {
            if (finder->FileName() != u"."_s) {
                Insert(entries, directories, {finder->FileName(), finder->IsDirectory()});
            }
        } while (finder->FindNext());
    }
    finder->Close();
    return entries;
}
