#include "tests/support/ToolRun.h"

#include <QProcess>

ToolRun RunProgram(const QString& program, const QStringList& arguments, const QString& directory,
                   int timeoutMs) {
    QProcess process;
    if (!directory.isEmpty()) {
        process.setWorkingDirectory(directory);
    }
    process.start(program, arguments);
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
