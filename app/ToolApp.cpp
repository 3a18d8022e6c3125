#include "app/ToolApp.h"

#include <QDir>
#include <QFileInfo>

#include "resources/AppStrings.h"

using namespace Qt::StringLiterals;

ToolApp::ToolApp(QString programName) : programName_(std::move(programName)) {}

QString ToolApp::ProgramNameFromExecutable(const QString& executablePath) {
    // Windows' convention: only the last extension is dropped (Vantrel.exe -> Vantrel).
    return QFileInfo(executablePath).completeBaseName();
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
