#pragma once

#include <QString>

#include "base/DialogService.h"

// The dialog service of the running program: message boxes and the save, open and folder dialogs,
// captioned with the application caption and modal to the window that is active when they are
// asked.
class WidgetDialogService : public DialogService {
public:
    explicit WidgetDialogService(QString caption);

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest& request) override;
    std::optional<QString> AskOpenFileName(const OpenFileRequest& request) override;
    std::optional<QString> AskFolder(const QString& title, const QString& initialFolder) override;
    std::optional<LoudnessMatchChoice> AskLoudnessMatch(
        const LoudnessMatchRequest& request) override;

private:
    QString caption_;
};
