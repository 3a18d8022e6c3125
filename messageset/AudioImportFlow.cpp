#include "messageset/AudioImportFlow.h"

#include <QDir>
#include <QFileInfo>

#include "audio/AudioConverter.h"
#include "audio/AudioDecoder.h"
#include "audio/WaveFormat.h"
#include "base/DialogService.h"
#include "messageset/MessageSetPageTexts.h"
#include "base/ProgressSink.h"
#include "setfile/MessageNameRule.h"
#include "setfile/MessageSetModel.h"

std::optional<QString> AudioImportFlow::OfferConvertedCopy(const QString& source) {
    if (AudioDecoder decoder; !decoder.Open(source)) {
        return std::nullopt;
    }
    const QString target = QDir::toNativeSeparators(AudioConverter::TargetFor(source));
    if (!dialogs_.AskYesNo(message_set_texts::OfferConvertedCopy(target),
                           DialogService::Icon::Question)) {
        return std::nullopt;
    }
    return Convert(source);
}

std::optional<QString> AudioImportFlow::WaveFor(const QString& source) {
    if (WaveFormat::Examine(source) == WaveFormat::Verdict::Supported) {
        return source;
    }
    if (AudioDecoder decoder; !decoder.Open(source)) {
        AudioConverter::Result failed;
        failed.outcome = AudioConverter::Outcome::NotDecodable;
        failed.source = source;
        failed.reason = decoder.ErrorText();
        dialogs_.Inform(AudioConverter::FailureText(failed));
        return std::nullopt;
    }
    return Convert(source);
}

std::optional<QString> AudioImportFlow::ChooseAndImport(const QString& initialFolder,
                                                        const MessageSetModel& set) {
    DialogService::OpenFileRequest request;
    request.title = message_set_texts::ImportAudioTitle();
    request.initialFolder = initialFolder;
    request.filter = message_set_texts::SoundFileFilter();
    const std::optional<QString> source = dialogs_.AskOpenFileName(request);
    if (!source.has_value() || source->isEmpty()) {
        return std::nullopt;
    }
    if (set.IsFull()) {
        dialogs_.Inform(message_set_texts::TooManyMessages(MessageSetModel::kMaxMessages));
        return std::nullopt;
    }
    // The message is named after the wave that is added: the copy, or a wave taken as it is.
    const QString waveName = QFileInfo(AudioConverter::TargetFor(*source)).fileName().toLower();
    if (!message_name_rule::IsAcceptableName(waveName)) {
        dialogs_.Inform(message_set_texts::NameRule());
        return std::nullopt;
    }
    return WaveFor(*source);
}

std::optional<QString> AudioImportFlow::Convert(const QString& source) {
    const QString target = QDir::toNativeSeparators(AudioConverter::TargetFor(source));
    const bool exists = QFileInfo::exists(target);
    if (exists && !dialogs_.AskYesNo(message_set_texts::ReplaceConvertedCopy(target),
                                     DialogService::Icon::Question)) {
        return std::nullopt;
    }
    AudioConverter::Result result;
    {
        // The display goes before anything is said.
        const std::unique_ptr<ProgressSink> progress =
            progress_.Create(message_set_texts::ConvertingTitle(source));
        progress->MakeModal();
        progress->SetText(message_set_texts::ConvertingTitle(source));
        result = AudioConverter(progress.get()).Convert(source, target, exists);
    }
    if (!result.Ok()) {
        dialogs_.Inform(AudioConverter::FailureText(result));
        return std::nullopt;
    }
    if (result.clippedSamples > 0) {
        dialogs_.Inform(message_set_texts::SamplesClipped(result.clippedSamples, source));
    }
    return target;
}
