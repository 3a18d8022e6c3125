#pragma once

#include <QStringList>

#include "app/DialogService.h"

// A dialog service that shows nothing: it keeps the texts of the messages it is given, answers
// every question with its first button (Ok or Yes) and chooses no file. For running a reader or
// writer quietly and deciding afterwards what the user is told.
class CollectingDialogService : public DialogService {
public:
    Answer ShowMessage(const QString& text, Buttons buttons, Icon) override {
        texts << text;
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> AskSaveFileName(const SaveFileRequest&) override { return std::nullopt; }

    QStringList texts;
};
