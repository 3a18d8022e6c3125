#include "site/HistoryRecorder.h"

#include <QFileInfo>
#include <QSysInfo>

#include "site/SiteFile.h"
#include "site/SitePaths.h"
#include "site/SiteRecord.h"

using namespace Qt::StringLiterals;
using site_record::Record;

namespace {

QString OsUser() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("USERNAME", u"unknown"_s);
    }
    return user;
}

QString Tally(const QList<ControllerOutcome>& outcomes) {
    int done = 0;
    for (const ControllerOutcome& outcome : outcomes) {
        done += outcome.result == ControllerOutcome::Result::Done ? 1 : 0;
    }
    return u"%1 controller(s): %2 done, %3 not"_s.arg(outcomes.size())
        .arg(done)
        .arg(outcomes.size() - done);
}

QString ControllerLine(const ControllerOutcome& outcome) {
    return u"- %1 (%2): %3, %4 attempt(s): %5"_s
        .arg(outcome.controller, outcome.address, ResultName(outcome.result))
        .arg(outcome.attempts)
        .arg(outcome.message);
}

QString Failed(const ControllerOutcome& outcome) {
    return ResultName(outcome.result) + u": "_s + outcome.message;
}

}  // namespace

History::Author HistoryRecorder::AuthorOf(const SiteFile& site) {
    const QString user = OsUser();
    return {site.Engineer().isEmpty() ? user : site.Engineer(),
            user + u'@' + QSysInfo::machineHostName()};
}

QString HistoryRecorder::MayBeIncompleteSentence(const QString& controller,
                                                 const QString& historyPath, bool existedBefore,
                                                 const QString& beforeCommit) {
    if (!existedBefore || beforeCommit.isEmpty()) {
        return u"%1 on %2 may be incomplete; it was not there before, so there is no old one to "
               u"put back."_s.arg(historyPath, controller);
    }
    return u"%1 on %2 may be incomplete; put the old one back with: vantrel-site restore %2 %1 "
           u"--from %3"_s.arg(historyPath, controller, beforeCommit.left(12));
}

QString HistoryRecorder::RestoreAgainSentence(const QString& controller, const QString& historyPath,
                                              const QString& fromCommit) {
    return u"%1 on %2 may be incomplete; run the restore again once the controller takes it: "
           u"vantrel-site restore %2 %1 --from %3"_s.arg(historyPath, controller,
                                                         fromCommit.left(12));
}

bool HistoryRecorder::Record(const SiteOperation::Request& request,
                             const QHash<QString, History::Files>& known,
                             QList<ControllerOutcome>& outcomes, QStringList* commits,
                             QString* errorText) {
    if (request.command == SiteOperation::Command::Backup) {
        return RecordBackup(outcomes, commits, errorText);
    }
    return RecordChange(request, known, outcomes, commits, errorText);
}

bool HistoryRecorder::RecordBackup(QList<ControllerOutcome>& outcomes, QStringList* commits,
                                   QString* errorText) {
    QList<History::Change> changes;
    QStringList lines;
    QStringList records;
    for (const ControllerOutcome& outcome : outcomes) {
        lines << ControllerLine(outcome);
        if (outcome.result != ControllerOutcome::Result::Done) {
            records << site_record::Line(
                {outcome.controller, u"backup"_s, QString(), QString(), Failed(outcome)});
            continue;
        }
        for (const StagedFile& file : outcome.found) {
            changes << History::Change{outcome.controller + u'/' + file.path, file.localFile,
                                       file.sha256};
            records << site_record::Line({outcome.controller, u"backup"_s, file.path,
                                          QString::fromLatin1(file.sha256), u"done"_s});
        }
        for (const QString& path : outcome.removed) {
            changes << History::Change{outcome.controller + u'/' + path, QString()};
            records << site_record::Line(
                {outcome.controller, u"removed"_s, path, QString(), u"done"_s});
        }
    }
    const QString message = u"Backup of %1, %2\n\n%3\n\n%4\n"_s.arg(
        site_.SiteName().isEmpty() ? u"the installation"_s : site_.SiteName(), Tally(outcomes),
        lines.join(u'\n'), records.join(u'\n'));
    QString commit;
    if (!history_.Record(changes, AuthorOf(site_), message, false, &commit, errorText)) {
        return false;
    }
    if (!commit.isEmpty()) {
        commits->append(commit);
    }
    return true;
}

bool HistoryRecorder::RecordChange(const SiteOperation::Request& request,
                                   const QHash<QString, History::Files>& known,
                                   QList<ControllerOutcome>& outcomes, QStringList* commits,
                                   QString* errorText) {
    const bool push = request.command == SiteOperation::Command::Push;
    const QString action = push ? u"push"_s : u"restore"_s;
    // The files the change replaces, where the history did not hold them as they were.
    QList<History::Change> before;
    QStringList beforeRecords;
    for (const ControllerOutcome& outcome : outcomes) {
        const History::Files files = known.value(outcome.controller);
        for (const StagedFile& file : outcome.found) {
            const auto held = files.constFind(file.path);
            if (held != files.cend() && held->sha256 == file.sha256) {
                continue;
            }
            before << History::Change{outcome.controller + u'/' + file.path, file.localFile,
                                      file.sha256};
            beforeRecords << site_record::Line({outcome.controller, u"saved-before-"_s + action,
                                                file.path, QString::fromLatin1(file.sha256),
                                                u"done"_s});
        }
    }
    QString beforeCommit;
    if (!before.isEmpty()) {
        const QString message =
            u"Files as found before the %1, kept so that they can be put back\n\n%2\n"_s.arg(
                action, beforeRecords.join(u'\n'));
        if (!history_.Record(before, AuthorOf(site_), message, false, &beforeCommit, errorText)) {
            return false;
        }
        if (!beforeCommit.isEmpty()) {
            commits->append(beforeCommit);
        }
    }
    if (beforeCommit.isEmpty()) {
        QString ignored;
        beforeCommit = history_.Resolve(QString(), &ignored);  // empty: no history yet
    }

    QList<History::Change> changes;
    QStringList lines;
    QStringList records;
    for (ControllerOutcome& outcome : outcomes) {
        for (const QString& remote : outcome.mayBeIncomplete) {
            const QString path = site_paths::ToHistory(remote);
            bool existed = false;
            for (const StagedFile& file : outcome.found) {
                existed = existed || file.path == path;
            }
            outcome.message +=
                u' ' +
                (push ? MayBeIncompleteSentence(outcome.controller, path, existed, beforeCommit)
                      : RestoreAgainSentence(outcome.controller, path, request.fromCommit));
        }
        lines << ControllerLine(outcome);
        for (const StagedFile& file : outcome.written) {
            changes << History::Change{outcome.controller + u'/' + file.path, file.localFile,
                                       file.sha256};
            records << site_record::Line({outcome.controller, action, file.path,
                                          QString::fromLatin1(file.sha256),
                                          u"done (read back, SHA-256 matches)"_s});
        }
        if (outcome.result != ControllerOutcome::Result::Done) {
            const QStringList paths = outcome.mayBeIncomplete.isEmpty() ? QStringList{QString()}
                                                                        : outcome.mayBeIncomplete;
            for (const QString& remote : paths) {
                records << site_record::Line({outcome.controller, action,
                                              site_paths::ToHistory(remote), QString(),
                                              Failed(outcome)});
            }
        }
    }
    const QString what =
        push ? u"Push of %1 %2"_s.arg(site_paths::CategoryName(*request.category),
                                      QFileInfo(request.localPath).fileName())
             : u"Restore of %1%2"_s.arg(
                   site_paths::ToHistory(site_paths::ToRemote(request.remotePath)),
                   request.fromCommit.isEmpty() ? QString() : u" from "_s + request.fromCommit);
    const QString message = u"%1 to %2\n\n%3\n\n%4\n"_s.arg(what, Tally(outcomes),
                                                            lines.join(u'\n'), records.join(u'\n'));
    QString commit;
    if (!history_.Record(changes, AuthorOf(site_), message, true, &commit, errorText)) {
        return false;
    }
    commits->append(commit);
    return true;
}
