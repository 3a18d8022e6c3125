#pragma once

#include <QString>
#include <optional>

class DialogService;
class ProgressSinkFactory;
struct MessageSetModel;

// Sound files that are not in the message format, made into files that can be added: a copy
// converted by AudioConverter beside the original, in its subfolder "converted", under a progress
// display that can cancel it. Asks before the copy replaces an existing file; the original is never
// written. Every failure is said through the dialog service.
class AudioImportFlow {
public:
    // dialogs and progress outlive the flow.
    AudioImportFlow(DialogService& dialogs, ProgressSinkFactory& progress)
        : dialogs_(dialogs), progress_(progress) {}

    // For a file the format check has just refused: when the decoder reads it, offers a converted
    // copy and makes it on Yes. The copy's path; nothing when the file cannot be decoded (nothing
    // more is said then), the user declined, or the conversion failed.
    std::optional<QString> OfferConvertedCopy(const QString& source);

    // For a file the user chose to import: a wave in the message format as it is, anything else the
    // decoder reads converted (without the offer: importing is what the user asked for). Nothing
    // when the file cannot be decoded (said), the user declined to replace, or the conversion
    // failed.
    std::optional<QString> WaveFor(const QString& source);

    // "Import audio...": asks for a sound file (opening at initialFolder) and gives the wave to add
    // to set (WaveFor). A file whose wave would be refused (the set is full, its name breaks the
    // name rule) is refused, and said, before anything is converted.
    std::optional<QString> ChooseAndImport(const QString& initialFolder,
                                           const MessageSetModel& set);

private:
    std::optional<QString> Convert(const QString& source);

    DialogService& dialogs_;
    ProgressSinkFactory& progress_;
};
