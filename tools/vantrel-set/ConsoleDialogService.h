#pragma once

#include <QStringList>
#include <QTextStream>

#include "base/DialogService.h"

// The dialog service of the command-line tool: every message goes to the error stream, each line
// prefixed with the tool's name; questions are answered No (or Cancel) and save dialogs cancelled.
class ConsoleDialogService : public DialogService {
public:
    explicit ConsoleDialogService(QTextStream& err) : err_(err) {}

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest&) override { return std::nullopt; }

    int MessageCount() const { return messages_; }

private:
    QTextStream& err_;
    int messages_ = 0;
};
