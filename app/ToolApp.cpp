#include "app/ToolApp.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ToolApp::ProgramNameFromExecutable(const QString& executablePath) {
    // The real file: started through a link of another name the program keeps its own, which
    // names its settings file and the info files it accepts.
    const QString realPath = QFileInfo(executablePath).canonicalFilePath();
    // Windows' convention: only the last extension is dropped (Vantrel.exe -> Vantrel).
    return QFileInfo(realPath.isEmpty() ? executablePath : realPath).completeBaseName();
}

QString ToolApp::ProgramNameOfThisProcess() {
    // The file the system started, not argv[0], which names whatever link or name was used.
    return ProgramNameFromExecutable(QCoreApplication::applicationFilePath());
}
