#pragma once

#include <QList>
#include <QString>

class DialogService;
class MessageSetTableModel;
class ProgressSinkFactory;

// The page's "Match loudness...": asks for the target and the messages (DialogService's loudness
// question), writes a matched copy of each chosen message's wave (LoudnessMatcher, several at
// once) into the subfolder "matched" beside it, under a progress display that can cancel, and
// says what was done: how many were matched, which the true peak limit kept below the target and by
// how much, and which were left as they were (too short, silent, unreadable). A wave used by
// several messages is matched once.
//
// Asks once before existing files in "matched" are replaced; never writes over an original, nor
// over a file another message of the set uses.
class LoudnessMatchFlow {
public:
    // A message that now uses its matched copy.
    struct Change {
        int row = -1;
        QString path;
        quint32 size = 0;
    };

    // dialogs and progress outlive the flow.
    LoudnessMatchFlow(DialogService& dialogs, ProgressSinkFactory& progress)
        : dialogs_(dialogs), progress_(progress) {}

    // The set and its loudness as table shows them (a message without a result is not matched);
    // selectedRow is the list's selected row or -1. The messages to point at their copies: none
    // when the user cancelled the question or nothing was matched; after a failure (said) or a
    // cancel, those that were matched.
    QList<Change> Run(const MessageSetTableModel& table, int selectedRow);

private:
    DialogService& dialogs_;
    ProgressSinkFactory& progress_;
};
