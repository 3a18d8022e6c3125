#include "tests/support/ScriptedDialogService.h"

DialogService::Answer ScriptedDialogService::ShowMessage(const QString& text, Buttons buttons,
                                                         Icon icon) {
    messages_.append({text, buttons, icon});
    if (buttons == Buttons::Ok) {
        if (!answers_.isEmpty() && answers_.head() == Answer::Ok) {
            answers_.dequeue();
        }
        return Answer::Ok;
    }
    if (answers_.isEmpty()) {
        ++unanswered_;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    return answers_.dequeue();
}

std::optional<QString> ScriptedDialogService::AskSaveFileName(const SaveFileRequest& request) {
    saveRequests_.append(request);
    if (savePaths_.isEmpty()) {
        ++unanswered_;
        return std::nullopt;
    }
    return savePaths_.dequeue();
}

std::optional<QString> ScriptedDialogService::AskOpenFileName(const OpenFileRequest& request) {
    choiceRequests_.append(request);
    if (chosenPaths_.isEmpty()) {
        ++unanswered_;
        return std::nullopt;
    }
    return chosenPaths_.dequeue();
}

std::optional<QString> ScriptedDialogService::AskFolder(const QString& title,
                                                        const QString& initialFolder) {
    return AskOpenFileName({title, initialFolder, QString()});
}

std::optional<DialogService::LoudnessMatchChoice> ScriptedDialogService::AskLoudnessMatch(
    const LoudnessMatchRequest& request) {
    loudnessRequests_.append(request);
    if (loudnessChoices_.isEmpty()) {
        ++unanswered_;
        return std::nullopt;
    }
    return loudnessChoices_.dequeue();
}

QStringList ScriptedDialogService::Texts() const {
    QStringList texts;
    for (const Message& message : messages_) {
        texts << message.text;
    }
    return texts;
}

void ScriptedDialogService::Clear() {
    messages_.clear();
    saveRequests_.clear();
    answers_.clear();
    savePaths_.clear();
    choiceRequests_.clear();
    chosenPaths_.clear();
    loudnessRequests_.clear();
    loudnessChoices_.clear();
    unanswered_ = 0;
}
