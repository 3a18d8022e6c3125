#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include "site/ControllerOutcome.h"
#include "site/History.h"
#include "site/SiteOperation.h"

class SiteFile;

// Writes the outcome of a run into the history, in the thread that owns it:
//  - backup: one commit of every file new, changed or removed on the controllers that succeeded;
//    none when nothing changed;
//  - push and restore: first, when the files they replaced differ from what the history held,
//    a commit of those files as found (so the way back is always in the history), then always
//    the commit of the change: the files whose read-back matched, and a line for every
//    controller. A controller that failed gets, in its row and in the message, the sentence that
//    its file may be incomplete and the exact restore command that puts the old one back (for a
//    restore that failed: the same restore, to run again).
// Each commit's author is the engineer, with the operating system's user as the address; its
// message ends in site_record lines, one per file.
class HistoryRecorder {
public:
    HistoryRecorder(History& history, const SiteFile& site) : history_(history), site_(site) {}

    // outcomes: their messages get the sentences of failed pushes. commits: the ids made.
    [[nodiscard]] bool Record(const SiteOperation::Request& request,
                              const QHash<QString, History::Files>& known,
                              QList<ControllerOutcome>& outcomes, QStringList* commits,
                              QString* errorText);

    static History::Author AuthorOf(const SiteFile& site);
    // The sentence for a controller whose push failed, with the way back.
    static QString MayBeIncompleteSentence(const QString& controller, const QString& historyPath,
                                           bool existedBefore, const QString& beforeCommit);
    // The sentence for a controller whose restore failed: the same restore, to run again.
    static QString RestoreAgainSentence(const QString& controller, const QString& historyPath,
                                        const QString& fromCommit);

private:
    bool RecordBackup(QList<ControllerOutcome>& outcomes, QStringList* commits, QString* errorText);
    bool RecordChange(const SiteOperation::Request& request,
                      const QHash<QString, History::Files>& known,
                      QList<ControllerOutcome>& outcomes, QStringList* commits, QString* errorText);

    History& history_;
    const SiteFile& site_;
};
