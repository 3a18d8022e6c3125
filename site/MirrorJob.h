#pragma once

#include <QHash>

#include "site/History.h"
#include "site/SiteJob.h"

// Backup and status of one controller: lists every file its history folder mirrors
// (remote_mirror) and compares them with what the history holds.
//
// Backup takes each file that is new, or whose listed size differs from the history's copy, into
// the staging folder (with full, every file, kept when its contents differ), and names the
// history's files the controller no longer has; a controller whose files are as the history
// has them costs only its listings. Status reads every file whose size is the history's too,
// compares the contents by SHA-256 and writes nothing anywhere but the staging folder: its
// details name each file added, removed or changed, and for a message set which messages.
class MirrorJob : public SiteJob {
public:
    enum class Mode { Backup, Status };

    // known: the history's files of the controller (with digests for Status and full backups);
    // knownSets: for Status, the history's copy of each message set, by history path.
    MirrorJob(Mode mode, bool full, History::Files known, QHash<QString, QString> knownSets,
              QString cardPath)
        : mode_(mode),
          full_(full),
          known_(std::move(known)),
          knownSets_(std::move(knownSets)),
          cardPath_(std::move(cardPath)) {}

    bool Run(WorkerContext& context, ControllerOutcome& outcome) override;

private:
    Mode mode_;
    bool full_;
    History::Files known_;
    QHash<QString, QString> knownSets_;
    QString cardPath_;
};
