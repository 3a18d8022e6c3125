#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextStream>

class SiteRunner;

// The command-line tool's view of a run: on a terminal, one line per controller with its state
// and a progress bar, redrawn in place (at most ten times a second); elsewhere (a pipe, a log
// file) one line per change of state. Writes to the error stream, so that the result table on
// standard output stays clean for scripts.
class SiteTerminalView : public QObject {
    Q_OBJECT

public:
    SiteTerminalView(SiteRunner& runner, const QStringList& controllers, QTextStream& err);
    // Draws the last state of every line.
    void Close();

private:
    struct Line {
        QString name;
        QString state = QStringLiteral("waiting");
        qint64 done = 0;
        qint64 total = 0;
        bool complete = false;  // finished, and done
    };

    void Draw(bool force);
    QString Render(const Line& line) const;

    QList<Line> lines_;
    QTextStream& err_;
    bool terminal_;
    bool drawn_ = false;
    qsizetype nameWidth_ = 0;
    QElapsedTimer sinceDraw_;
};
