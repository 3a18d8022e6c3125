#include "base/ToolState.h"

#include <QDir>

#include "base/AppStrings.h"

using namespace Qt::StringLiterals;

ToolState::ToolState(QString programName) : programName_(std::move(programName)) {}

QString ToolState::AppCaption() {
    return QString::fromUtf16(resources::kCaptionString) + u" V."_s +
           QString::fromUtf16(resources::kVersionString);
}

void ToolState::CaptureStartDirectory() {
    startDirectory_ = QDir::currentPath();
}

QString ToolState::SettingsFilePath() const {
    return startDirectory_ + u'/' + programName_ + u".ini"_s;
}
