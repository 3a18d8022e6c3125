#pragma once

#include <QList>
#include <optional>

#include "site/History.h"
#include "site/SiteJob.h"
#include "transfer/FileCategory.h"

// Push (and dry run, and restore) of files to one controller, with proof:
//  1. log in; for a message set, read the flash card's size: a set longer than the card is not
//     sent (a permanent failure);
//  2. list the folders the files go to, and make the missing ones below /rfa;
//  3. dry run: say per file what would change (the remote size and, where the history knows it,
//     its digest -> the new one) and stop; nothing is written anywhere;
//  4. take each file it will replace into the staging folder, once for all tries: a second try
//     must not take the half-sent file of the first for the old one;
//  5. upload each file, then read it back and compare its SHA-256 with what was sent: only a
//     file whose read-back matched is in the outcome's written files. A file whose upload or
//     read-back failed is named as one that may be incomplete.
// Every file travels in binary, so that what lands is byte for byte what was sent.
class PushJob : public SiteJob {
public:
    struct Item {
        QString localFile;
        QString remotePath;   // "/rfa\cfg\system.cfg"
        QString historyPath;  // "rfa/cfg/system.cfg"
        qint64 size = 0;
        QByteArray sha256;
    };
    struct Options {
        std::optional<FileCategory> category;  // what its rules check; none for a restore
        bool dryRun = false;
        bool readBack = true;  // off only to measure what the read-back costs
        QString verb = QStringLiteral("pushed");
    };

    // known: the history's files of the controller, with digests.
    PushJob(QList<Item> items, History::Files known, QString cardPath, Options options)
        : items_(std::move(items)),
          known_(std::move(known)),
          cardPath_(std::move(cardPath)),
          options_(std::move(options)) {}

    bool Run(WorkerContext& context, ControllerOutcome& outcome) override;

private:
    // The controller's size of each file that is there now, by remote path in lower case.
    bool ReadRemoteSizes(WorkerContext& context, QHash<QString, qint64>* sizes);
    bool CheckCategory(WorkerContext& context);
    bool MakeFolders(WorkerContext& context);
    void DescribeDryRun(const QHash<QString, qint64>& remoteSizes,
                        ControllerOutcome& outcome) const;
    bool TakeReplaced(WorkerContext& context, const QHash<QString, qint64>& remoteSizes,
                      ControllerOutcome& outcome);
    bool Send(WorkerContext& context, const Item& item, ControllerOutcome& outcome);

    QList<Item> items_;
    History::Files known_;
    QString cardPath_;
    Options options_;
    bool replacedTaken_ = false;
    QList<StagedFile> replaced_;
};
