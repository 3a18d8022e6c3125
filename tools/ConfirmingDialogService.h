#pragma once

#include "base/DialogService.h"

// Answers every question with its first button (OK, Yes) and asks nothing of anyone: for a
// picture of the window taken after a command that asks before it goes on.
class ConfirmingDialogService : public DialogService {
public:
    Answer ShowMessage(const QString&, Buttons buttons, Icon) override {
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes
                                                                            : Answer::Ok;
    }
    std::optional<QString> AskSaveFileName(const SaveFileRequest&) override { return {}; }
};
