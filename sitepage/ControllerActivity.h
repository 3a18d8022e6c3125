#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

class History;

// What the record says each controller had done last: its last backup that succeeded, and its
// last action with the action's result, read from the history's commits (newest first) through
// their record lines.
struct ControllerActivity {
    QDateTime lastBackup;  // invalid: none recorded
    QString lastAction;    // "backup", "push", "restore"; empty: none
    QString lastResult;    // the record's result: "done ...", "failed: ..."

    // By controller name in lower case; false with the reason when the history cannot be read.
    [[nodiscard]] static bool Read(History& history, QHash<QString, ControllerActivity>* activity,
                                   QString* errorText);
};
