#pragma once

#include <QString>

#include "app/DialogService.h"

// The dialog service of the running program: message boxes and the save dialog, captioned with
// the application caption and modal to the window that is active when they are asked.
class WidgetDialogService : public DialogService {
public:
    explicit WidgetDialogService(QString caption);

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest& request) override;

private:
    QString caption_;
};
