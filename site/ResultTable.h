#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "site/ControllerOutcome.h"

// The table at the end of a run: one row per controller with its address, result, attempts,
// bytes, seconds and message, as text for the terminal and as JSON for scripts (the same
// columns, plus the command and the commits it made).
namespace result_table {

QStringList Columns();
// The cells of one row, as the text table shows them.
QStringList Cells(const ControllerOutcome& outcome);
QString Text(const QList<ControllerOutcome>& outcomes);
QByteArray Json(const QString& command, const QList<ControllerOutcome>& outcomes,
                const QStringList& commits);

}  // namespace result_table
