#pragma once

#include <QString>
#include <chrono>

#include "setfile/MessageSetModel.h"
#include "setfile/SetFileWriter.h"

class DialogService;
class ProgressSinkFactory;

// Builds the message set file of a model for the message set page: SetFileWriter under a modal
// progress window titled "Creating: " + path whose bar counts kilobytes of the estimated size in
// steps of one copied chunk (80 KB), with the wait cursor, and a pause of a second with the
// finished bar before the closing padding and the CRC. Every failure and a cancel are reported
// through the dialog service, after the progress window is gone. The target file is replaced only
// by a complete set; a failed or cancelled build leaves an earlier file as it was.
class SetFileBuilder {
public:
    SetFileBuilder(DialogService& dialogs, ProgressSinkFactory& progress);

    // The pause with the finished bar; a second unless changed (tests shorten it).
    void SetFinishedBarPause(std::chrono::milliseconds pause) { pause_ = pause; }

    // True when outputPath now holds the complete set; false after a failure that has been shown.
    bool BuildSetFile(const MessageSetModel& model, const QString& outputPath);

    // The result of the last build (for callers that want more than the boolean).
    const SetFileWriter::Result& LastResult() const { return lastResult_; }

private:
    DialogService& dialogs_;
    ProgressSinkFactory& progress_;
    std::chrono::milliseconds pause_{1000};
    SetFileWriter::Result lastResult_;
};
