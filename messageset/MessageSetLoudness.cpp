#include "messageset/MessageSetLoudness.h"

#include <QSet>

#include "audio/LoudnessMeter.h"
#include "messageset/MessageSetPageTexts.h"
#include "messageset/MessageSetTableModel.h"
#include "base/ProgressSink.h"

using namespace Qt::StringLiterals;

MessageSetLoudness::MessageSetLoudness(MessageSetTableModel& table, DialogService& dialogs,
                                       ProgressSinkFactory& progress)
    : table_(table), progress_(progress), flow_(dialogs, progress) {
    connect(&survey_, &LoudnessSurvey::Measured, this,
            [this](const LoudnessKey& key, const LoudnessResult& result) {
                table_.SetLoudness({{key, result}});
                AnnounceSpread();
            });
}

void MessageSetLoudness::Refresh(const StoredMessageSet* stored) {
    table_.SetEntriesInSetFile(stored != nullptr);
    QList<LoudnessKey> keys;
    QSet<LoudnessKey> seen;
    for (int row = 0; row < table_.rowCount(); ++row) {
        const LoudnessKey key = table_.KeyOf(row);
        if (!seen.contains(key)) {
            seen.insert(key);
            keys.append(key);
        }
    }
    // Results of files that changed since go; what holds comes back at once.
    table_.ClearLoudness();
    table_.SetLoudness(survey_.Request(keys, stored));
    AnnounceSpread();
}

bool MessageSetLoudness::MeasureMissing() {
    QList<int> missing;
    for (int row = 0; row < table_.rowCount(); ++row) {
        if (table_.LoudnessOf(row) == nullptr) {
            missing.append(row);
        }
    }
    if (missing.isEmpty()) {
        return true;
    }
    const std::unique_ptr<ProgressSink> progress =
        progress_.Create(message_set_texts::MeasuringLoudnessTitle());
    progress->MakeModal();
    progress->SetBarRange(0, static_cast<int>(missing.size()), 1);
    const auto keepGoing = [&progress] {
        progress->PumpMessages();
        return !progress->IsCancelled();
    };
    for (int row : missing) {
        // A background job may have brought it meanwhile.
        if (table_.LoudnessOf(row) != nullptr) {
            continue;
        }
        const LoudnessKey key = table_.KeyOf(row);
        progress->SetText(message_set_texts::MeasuringFile(key.path));
        LoudnessResult result;
        result.measured = LoudnessMeter::MeasureFile(key.path, &result.error, keepGoing);
        if (progress->IsCancelled()) {
            return false;
        }
        survey_.Store(key, result);
        table_.SetLoudness({{key, result}});
        progress->Advance();
    }
    AnnounceSpread();
    return true;
}

bool MessageSetLoudness::Match(int selectedRow) {
    if (table_.rowCount() == 0 || !MeasureMissing()) {
        return false;
    }
    const QList<LoudnessMatchFlow::Change> changes = flow_.Run(table_, selectedRow);
    for (const LoudnessMatchFlow::Change& change : changes) {
        table_.SetEntryFile(change.row, change.path, change.size);
    }
    if (changes.isEmpty()) {
        return false;
    }
    Refresh(nullptr);
    return true;
}

void MessageSetLoudness::AnnounceSpread() {
    int pending = 0;
    int withoutValue = 0;
    int marked = 0;
    const LoudnessSpread& spread = table_.Spread();
    for (int row = 0; row < table_.rowCount(); ++row) {
        const LoudnessResult* result = table_.LoudnessOf(row);
        if (result == nullptr) {
            ++pending;
        } else if (!result->measured || !result->measured->integrated) {
            ++withoutValue;
        } else if (spread.StandsOut(*result->measured->integrated)) {
            ++marked;
        }
    }
    QString text;
    if (table_.rowCount() > 0 && spread.IsEmpty()) {
        text = pending > 0 ? message_set_texts::LoudnessMeasuringAll()
                           : message_set_texts::LoudnessNoValue();
    } else if (!spread.IsEmpty()) {
        QStringList parts{spread.Text()};
        if (marked > 0) {
            parts << message_set_texts::LoudnessMarked(marked);
        }
        if (withoutValue > 0) {
            parts << message_set_texts::LoudnessWithoutValue(withoutValue);
        }
        if (pending > 0) {
            parts << message_set_texts::LoudnessMeasuringMore(pending);
        }
        text = parts.join(u"; "_s);
    }
    if (text != spreadText_) {
        spreadText_ = text;
        emit SpreadChanged(spreadText_);
    }
}
