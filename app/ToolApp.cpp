#include "app/ToolApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "resources/AppStrings.h"

using namespace Qt::StringLiterals;

ToolApp::ToolApp(QString programName) : programName_(std::move(programName)) {}

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

QString ToolApp::AppCaption() {
    return QString::fromUtf16(resources::kCaptionString) + u" V."_s +
           QString::fromUtf16(resources::kVersionString);
}

void ToolApp::CaptureStartDirectory() {
    startDirectory_ = QDir::currentPath();
}

QString ToolApp::SettingsFilePath() const {
    return startDirectory_ + u'/' + programName_ + u".ini"_s;
}
