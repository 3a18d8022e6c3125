#pragma once

#include <QString>
#include <QStringList>

// What a run of one of the command-line tools gave. exitCode -1: it did not end normally in time.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs program with arguments in directory (empty: the current one), its input closed. A run
// that has not ended after timeoutMs is killed, so a tool that blocks fails the test in bounded
// time.
ToolRun RunProgram(const QString& program, const QStringList& arguments,
                   const QString& directory = QString(), int timeoutMs = 60000);
