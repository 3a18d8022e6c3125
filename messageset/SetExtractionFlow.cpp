#include "messageset/SetExtractionFlow.h"

#include <QFileInfo>

#include "base/DialogService.h"
#include "messageset/MessageSetPageTexts.h"
#include "setfile/InfoFile.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;
using Outcome = SetFileExtractor::Outcome;

bool SetExtractionFlow::Run(const QString& setPath) {
    const std::optional<QString> folder = dialogs_.AskFolder(
        message_set_texts::ExtractFolderTitle(), QFileInfo(setPath).absolutePath());
    if (!folder.has_value() || folder->isEmpty()) {
        return false;
    }
    const QString infoPath = InfoFile::PathForSetFile(setPath);
    const SetFileExtractor extractor(programName_);
    SetFileExtractor::Result result;
    {
        const WaitCursor waitCursor;
        result = extractor.Extract(setPath, *folder, infoPath);
    }
    if (result.outcome == Outcome::TargetsExist) {
        if (!dialogs_.AskYesNo(message_set_texts::ReplaceExtractedFiles(FileList(result.existing)),
                               DialogService::Icon::Question)) {
            return false;
        }
        const WaitCursor waitCursor;
        result = extractor.Extract(setPath, *folder, infoPath, true);
    }
    if (!result.Ok()) {
        dialogs_.Inform(FailureText(result));
        return false;
    }
    if (!result.warnings.isEmpty()) {
        dialogs_.Inform(message_set_texts::ExtractedWithWarnings(result.warnings));
    }
    return true;
}

QString SetExtractionFlow::FailureText(const SetFileExtractor::Result& result) {
    switch (result.outcome) {
        case Outcome::Extracted:
        case Outcome::TargetsExist:
            return {};
        case Outcome::SetNotReadable:
            return result.reason;
        case Outcome::FolderNotCreated:
            return message_set_texts::CouldNotCreateFolder(result.subject);
        case Outcome::WaveNotWritten:
            return message_set_texts::CouldNotWrite(result.subject) + u"\n"_s + result.reason;
        case Outcome::InfoFileNotWritten:
            return result.reason.isEmpty() ? message_set_texts::InfoFileNotWritable(result.subject)
                                           : result.reason;
    }
    return {};
}

QString SetExtractionFlow::FileList(const QStringList& files) {
    QStringList lines = files.first(qMin<qsizetype>(files.size(), kListedFiles));
    if (files.size() > kListedFiles) {
        lines << u"and %1 more"_s.arg(files.size() - kListedFiles);
    }
    return lines.join(u'\n');
}
