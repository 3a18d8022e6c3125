#include "site/ResultTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace result_table {

QStringList Columns() {
    return {u"controller"_s, u"address"_s, u"result"_s, u"attempts"_s,
            u"bytes"_s,      u"seconds"_s, u"message"_s};
}

QStringList Cells(const ControllerOutcome& outcome) {
    return {outcome.controller,
            outcome.address,
            ResultName(outcome.result),
            QString::number(outcome.attempts),
            QString::number(outcome.bytes),
            QString::number(outcome.seconds, 'f', 1),
            outcome.message};
}

QString Text(const QList<ControllerOutcome>& outcomes) {
    QList<QStringList> rows{Columns()};
    for (const ControllerOutcome& outcome : outcomes) {
        rows << Cells(outcome);
    }
    // Every column but the last (the message) as wide as its widest cell.
    QList<qsizetype> widths(Columns().size() - 1, 0);
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], row.at(column).size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const bool number = column == 3 || column == 4 || column == 5;
            if (column + 1 == row.size()) {
                line += row.at(column);
            } else if (number && &row != &rows.first()) {
                line += row.at(column).rightJustified(widths[column]) + u"  "_s;
            } else {
                line += row.at(column).leftJustified(widths[column]) + u"  "_s;
            }
        }
        text += line.trimmed() + u'\n';
    }
    return text;
}

QByteArray Json(const QString& command, const QList<ControllerOutcome>& outcomes,
                const QStringList& commits) {
    QJsonArray rows;
    for (const ControllerOutcome& outcome : outcomes) {
        QJsonObject row;
        row[u"controller"_s] = outcome.controller;
        row[u"address"_s] = outcome.address;
        row[u"result"_s] = ResultName(outcome.result);
        row[u"attempts"_s] = outcome.attempts;
        row[u"bytes"_s] = outcome.bytes;
        row[u"seconds"_s] = outcome.seconds;
        row[u"message"_s] = outcome.message;
        row[u"details"_s] = QJsonArray::fromStringList(outcome.details);
        rows.append(row);
    }
    QJsonObject document;
    document[u"command"_s] = command;
    document[u"controllers"_s] = rows;
    document[u"commits"_s] = QJsonArray::fromStringList(commits);
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

}  // namespace result_table
