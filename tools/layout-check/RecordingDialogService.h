#pragma once

#include <QStringList>

#include "base/DialogService.h"

// Answers every question at once and keeps the texts: a layout check must never wait on a
// dialog, and any message while the pages are shown is worth reporting.
class RecordingDialogService : public DialogService {
public:
    Answer ShowMessage(const QString& text, Buttons buttons, Icon) override {
        messages.append(text);
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<QString> AskSaveFileName(const SaveFileRequest&) override { return {}; }

    QStringList messages;
};
