#pragma once

#include <QObject>
#include <QString>

#include "messageset/LoudnessSurvey.h"

class MessageSetTableModel;
class StoredMessageSet;

// The loudness side of the message set page: keeps the list's Loudness column and the spread line
// under it up to date, measuring off the GUI thread (LoudnessSurvey). Holds no widget: the line's
// text is announced by SpreadChanged.
class MessageSetLoudness : public QObject {
    Q_OBJECT

public:
    // table outlives this object.
    explicit MessageSetLoudness(MessageSetTableModel& table);

    // Shows what is known of the table's messages and measures the rest. stored: the set file the
    // table shows its messages from, or null when they are wave files.
    void Refresh(const StoredMessageSet* stored);

    // The spread line: "Loudness -26.0 to -19.5 LUFS, median -23.1" and what else is worth a
    // word; empty for an empty set.
    const QString& SpreadText() const { return spreadText_; }
    // Measurements on their way.
    int Pending() const { return survey_.Pending(); }

signals:
    void SpreadChanged(const QString& text);

private:
    void AnnounceSpread();

    MessageSetTableModel& table_;
    LoudnessSurvey survey_;
    QString spreadText_;
};
