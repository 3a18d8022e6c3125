#pragma once

#include <QObject>
#include <QString>

#include "messageset/LoudnessMatchFlow.h"
#include "messageset/LoudnessSurvey.h"

class DialogService;
class MessageSetTableModel;
class ProgressSinkFactory;
class StoredMessageSet;

// The loudness side of the message set page: keeps the list's Loudness column and the spread line
// under it up to date, measuring off the GUI thread (LoudnessSurvey), and runs "Match loudness...".
// Holds no widget: the line's text is announced by SpreadChanged.
class MessageSetLoudness : public QObject {
    Q_OBJECT

public:
    // table, dialogs and progress outlive this object.
    MessageSetLoudness(MessageSetTableModel& table, DialogService& dialogs,
                       ProgressSinkFactory& progress);

    // Shows what is known of the table's messages and measures the rest. stored: the set file the
    // table shows its messages from, or null when they are wave files.
    void Refresh(const StoredMessageSet* stored);
    // "Match loudness...": measures what is not measured yet (under a progress display), then runs
    // the flow and points the matched messages at their copies. True when a message changed.
    bool Match(int selectedRow);

    // The spread line: "Loudness -26.0 to -19.5 LUFS, median -23.1" and what else is worth a
    // word; empty for an empty set.
    const QString& SpreadText() const { return spreadText_; }
    // Measurements on their way.
    int Pending() const { return survey_.Pending(); }

signals:
    void SpreadChanged(const QString& text);

private:
    // Measures the rows that have no result yet, here and now; false when cancelled.
    bool MeasureMissing();
    void AnnounceSpread();

    MessageSetTableModel& table_;
    ProgressSinkFactory& progress_;
    LoudnessSurvey survey_;
    LoudnessMatchFlow flow_;
    QString spreadText_;
};
