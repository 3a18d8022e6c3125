#include "messageset/SetFileBuilder.h"

#include <QSaveFile>
#include <QThread>
#include <memory>

#include "base/DialogService.h"
#include "messageset/MessageSetPageTexts.h"
#include "base/ProgressSink.h"
#include "setfile/SetFileLayout.h"
#include "widgets/WaitCursor.h"

using Outcome = SetFileWriter::Outcome;

SetFileBuilder::SetFileBuilder(DialogService& dialogs, ProgressSinkFactory& progress)
    : dialogs_(dialogs), progress_(progress) {}

bool SetFileBuilder::BuildSetFile(const MessageSetModel& model, const QString& outputPath) {
    lastResult_ = [&] {
        // What the file cannot hold is refused before anything is created.
        SetFileWriter::Result result = SetFileWriter::Validate(model.setName, model.entries);
        if (!result.Ok()) {
            return result;
        }
        QSaveFile file(outputPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            result.outcome = Outcome::CreateFailed;
            result.subject = outputPath;
            result.reason = file.errorString();
            return result;
        }
        // Made after the file, removed before a message is shown; the cursor goes first.
        const std::unique_ptr<ProgressSink> progress =
            progress_.Create(message_set_texts::CreatingTitle(outputPath));
        progress->MakeModal();
        progress->SetBarRange(0, static_cast<int>(model.EstimateSetSize() / 1024),
                              static_cast<int>(set_file_layout::kCopyChunk / 1024));
        const WaitCursor waitCursor;

        SetFileWriter writer(progress.get());
        writer.SetMessagesCopiedHook([this, &progress] {
            progress->RepaintNow();
            if (pause_.count() > 0) {
                QThread::msleep(static_cast<unsigned long>(pause_.count()));
            }
        });
        result = writer.WriteValidated(file, model.setName, model.entries);
        if (!result.Ok()) {
            file.cancelWriting();
            return result;
        }
        if (!file.commit()) {
            result.outcome = Outcome::WriteFailed;
            result.subject = outputPath;
            result.reason = file.errorString();
        }
        return result;
    }();
    if (!lastResult_.Ok()) {
        dialogs_.Inform(SetFileWriter::FailureText(lastResult_, outputPath));
        return false;
    }
    return true;
}
