#pragma once

#include <QString>

#include "setfile/SetFileExtractor.h"

class DialogService;

// The page's "Extract": asks for a folder and takes the set file apart into it (SetFileExtractor),
// the waves into the folder and the info file beside the set file, where the page looks for it, so
// that the set then opens for editing. Asks before any existing file is replaced; says a failure,
// or the set's warnings (a CRC mismatch) in one message.
class SetExtractionFlow {
public:
    // The most existing files the replace question names one by one.
    static constexpr int kListedFiles = 8;

    // programName is what the info file carries as "AppName". dialogs outlives the flow.
    SetExtractionFlow(DialogService& dialogs, QString programName)
        : dialogs_(dialogs), programName_(std::move(programName)) {}

    // True when the waves and the info file were written; false when the user cancelled the
    // folder or the replace question, or the extraction failed (said).
    bool Run(const QString& setPath);

    // The message for a result that failed other than by TargetsExist.
    static QString FailureText(const SetFileExtractor::Result& result);
    // The files, one a line; beyond kListedFiles, a last line counts the rest.
    static QString FileList(const QStringList& files);

private:
    DialogService& dialogs_;
    QString programName_;
};
