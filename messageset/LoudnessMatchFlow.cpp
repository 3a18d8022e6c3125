#include "messageset/LoudnessMatchFlow.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "audio/LoudnessMatcher.h"
#include "audio/LoudnessTexts.h"
#include "base/DialogService.h"
#include "messageset/MessageSetPageTexts.h"
#include "messageset/MessageSetTableModel.h"
#include "messageset/SetExtractionFlow.h"
#include "base/ProgressSink.h"

namespace {

// One wave file to match, and the rows of the messages that use it.
struct Work {
    QString source;
    QString target;
    LoudnessMeasurement measured;
    QList<int> rows;
};

QString Canonical(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

}  // namespace

QList<LoudnessMatchFlow::Change> LoudnessMatchFlow::Run(const MessageSetTableModel& table,
                                                        int selectedRow) {
    const QList<MessageEntry>& entries = table.Set().entries;
    if (entries.isEmpty()) {
        return {};
    }
    DialogService::LoudnessMatchRequest request;
    if (!table.Spread().IsEmpty()) {
        request.median = table.Spread().median;
    }
    request.messageCount = static_cast<int>(entries.size());
    const bool selected = selectedRow >= 0 && selectedRow < entries.size();
    if (selected) {
        request.selectedName = entries.at(selectedRow).name;
    }
    const std::optional<DialogService::LoudnessMatchChoice> choice =
        dialogs_.AskLoudnessMatch(request);
    if (!choice) {
        return {};
    }

    QSet<QString> inUse;
    for (const MessageEntry& entry : entries) {
        inUse.insert(Canonical(entry.path));
    }
    QList<Work> work;
    QStringList notes;
    QHash<QString, int> workOfSource;  // by path; -1 for a source left as it is
    for (int row = 0; row < entries.size(); ++row) {
        if (choice->selectedOnly && selected && row != selectedRow) {
            continue;
        }
        const MessageEntry& entry = entries.at(row);
        if (const auto known = workOfSource.constFind(entry.path); known != workOfSource.cend()) {
            if (*known >= 0) {
                work[*known].rows.append(row);
            }
            continue;
        }
        workOfSource.insert(entry.path, -1);
        const LoudnessResult* result = table.LoudnessOf(row);
        const QString target = QDir::toNativeSeparators(LoudnessMatcher::TargetFor(entry.path));
        if (result == nullptr || !result->measured) {
            notes << message_set_texts::MatchSkippedUnreadable(
                entry.name, result != nullptr ? result->error : QString());
        } else if (result->measured->TooShort()) {
            notes << message_set_texts::MatchSkippedTooShort(entry.name);
        } else if (result->measured->Silent()) {
            notes << message_set_texts::MatchSkippedSilent(entry.name);
        } else if (inUse.contains(Canonical(target))) {
            notes << message_set_texts::MatchSkippedCopyInUse(entry.name, target);
        } else {
            workOfSource[entry.path] = static_cast<int>(work.size());
            work.append({entry.path, target, *result->measured, {row}});
        }
    }

    QStringList existing;
    for (const Work& item : work) {
        if (QFileInfo::exists(item.target)) {
            existing << item.target;
        }
    }
    if (!existing.isEmpty() && !dialogs_.AskYesNo(message_set_texts::ReplaceExtractedFiles(
                                                      SetExtractionFlow::FileList(existing)),
                                                  DialogService::Icon::Question)) {
        return {};
    }

    QList<LoudnessMatcher::Job> jobs;
    for (const Work& item : work) {
        jobs.append({item.source, item.target, item.measured});
    }
    QList<LoudnessMatcher::Result> results;
    {
        // The display goes before anything is said.
        const std::unique_ptr<ProgressSink> progress =
            progress_.Create(message_set_texts::MatchingLoudnessTitle());
        progress->MakeModal();
        progress->SetBarRange(0, static_cast<int>(jobs.size()), 1);
        progress->SetText(message_set_texts::MatchingFiles(static_cast<int>(jobs.size())));
        int shown = 0;
        results = LoudnessMatcher::MatchAll(jobs, choice->targetLufs, true, [&](int ended) {
            for (; shown < ended; ++shown) {
                progress->Advance();
            }
            progress->PumpMessages();
            return !progress->IsCancelled();
        });
    }
    QList<Change> changes;
    QStringList failures;
    bool cancelled = false;
    for (qsizetype i = 0; i < results.size(); ++i) {
        const LoudnessMatcher::Result& result = results.at(i);
        const Work& item = work.at(i);
        if (result.outcome == LoudnessMatcher::Outcome::Cancelled) {
            cancelled = true;
            continue;
        }
        if (!result.Ok()) {
            failures << LoudnessMatcher::FailureText(result);
            continue;
        }
        const quint32 size = MessageEntry::ClampSize(QFileInfo(item.target).size());
        for (int row : item.rows) {
            changes.append({row, item.target, size});
        }
        if (result.gain->PeakLimited()) {
            notes << message_set_texts::MatchPeakLimited(
                entries.at(item.rows.constFirst()).name, result.gain->shortfallDb,
                loudness_texts::Lufs(result.gain->resultLufs));
        }
    }
    if (!failures.isEmpty()) {
        dialogs_.ShowError(failures.join(u'\n'));
    }
    QStringList lines;
    if (cancelled) {
        lines << message_set_texts::MatchCancelled();
    }
    const QString target = loudness_texts::Lufs(choice->targetLufs);
    lines << (changes.isEmpty()
                  ? message_set_texts::NothingMatched(target)
                  : message_set_texts::MatchedSummary(static_cast<int>(changes.size()), target));
    lines << notes;
    dialogs_.Inform(lines.join(u'\n'));
    return changes;
}
