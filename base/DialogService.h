#pragma once

#include <QString>
#include <optional>

// Every question and message to the user goes through this service, captioned with the
// application caption. Widgets use the real implementation; tests inject a scripted one that
// records each call and answers as the test says.
class DialogService {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct SaveFileRequest {
        QString initialName;       // file name shown when the dialog opens
        QString defaultExtension;  // appended to a typed name without extension; empty for none
        QString filter;  // "label|pattern|label|pattern||", as the original program wrote it
        bool confirmOverwrite = true;
    };

    struct OpenFileRequest {
        QString title;
        QString initialFolder;  // where the dialog opens; empty for the current directory
        QString filter;         // as in SaveFileRequest
    };

    // "Match loudness...": what the dialog offers.
    struct LoudnessMatchRequest {
        std::optional<double> median;         // the set's median in LUFS; nothing when unknown
        int messageCount = 0;                 // all messages of the set
        std::optional<QString> selectedName;  // the selected message's; nothing when none is
        double typedTarget = -23.0;           // where the typed target starts, in LUFS
    };
    // What the user chose: the target and whether only the selected message is matched.
    struct LoudnessMatchChoice {
        double targetLufs = -23.0;
        bool selectedOnly = false;
    };

    virtual ~DialogService() = default;

    // Shows text in a modal box with the given buttons and icon; returns the button pressed.
    virtual Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) = 0;

    // The full path chosen in a save dialog, or nothing when the user cancelled it.
    virtual std::optional<QString> AskSaveFileName(const SaveFileRequest& request) = 0;

    // The existing file chosen in an open dialog, or nothing when the user cancelled it. A service
    // that cannot ask (a command line, a collector of messages) answers nothing.
    virtual std::optional<QString> AskOpenFileName(const OpenFileRequest& request) {
        Q_UNUSED(request);
        return std::nullopt;
    }
    // An existing folder chosen in a folder dialog opened at initialFolder, or nothing when the
    // user cancelled it. A service that cannot ask answers nothing.
    virtual std::optional<QString> AskFolder(const QString& title, const QString& initialFolder) {
        Q_UNUSED(title);
        Q_UNUSED(initialFolder);
        return std::nullopt;
    }

    // The target and the messages of "Match loudness...", or nothing when the user cancelled. A
    // service that cannot ask answers nothing.
    virtual std::optional<LoudnessMatchChoice> AskLoudnessMatch(
        const LoudnessMatchRequest& request) {
        Q_UNUSED(request);
        return std::nullopt;
    }

    // Shortcuts for the forms the pages use.
    void Inform(const QString& text) { ShowMessage(text, Buttons::Ok, Icon::None); }
    void ShowError(const QString& text) { ShowMessage(text, Buttons::Ok, Icon::Error); }
    bool AskYesNo(const QString& text, Icon icon = Icon::None) {
        return ShowMessage(text, Buttons::YesNo, icon) == Answer::Yes;
    }
};
