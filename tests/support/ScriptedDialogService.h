#pragma once

#include <QList>
#include <QQueue>
#include <optional>

#include "base/DialogService.h"

// A dialog service for tests: records every box and save dialog, and answers from the queues the
// test filled. A question with no queued answer is answered No (or Cancel) and counted, so that a
// test can tell an unexpected question from an expected one.
class ScriptedDialogService : public DialogService {
public:
    struct Message {
        QString text;
        Buttons buttons;
        Icon icon;
    };

    void QueueAnswer(Answer answer) { answers_.enqueue(answer); }
    // The path the next save dialog returns; nothing means the user cancels it.
    void QueueSaveFileName(std::optional<QString> path) { savePaths_.enqueue(std::move(path)); }
    // The path the next open or folder dialog returns; nothing means the user cancels it.
    void QueueChosenPath(std::optional<QString> path) { chosenPaths_.enqueue(std::move(path)); }
    // The answer of the next "Match loudness" dialog; nothing means the user cancels it.
    void QueueLoudnessMatch(std::optional<LoudnessMatchChoice> choice) {
        loudnessChoices_.enqueue(choice);
    }

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest& request) override;
    std::optional<QString> AskOpenFileName(const OpenFileRequest& request) override;
    std::optional<QString> AskFolder(const QString& title, const QString& initialFolder) override;
    std::optional<LoudnessMatchChoice> AskLoudnessMatch(
        const LoudnessMatchRequest& request) override;

    const QList<Message>& Messages() const { return messages_; }
    QStringList Texts() const;
    const QList<SaveFileRequest>& SaveRequests() const { return saveRequests_; }
    // The open and folder dialogs asked, in order (a folder dialog as a request without filter).
    const QList<OpenFileRequest>& ChoiceRequests() const { return choiceRequests_; }
    const QList<LoudnessMatchRequest>& LoudnessRequests() const { return loudnessRequests_; }
    int UnansweredQuestions() const { return unanswered_; }
    int PendingAnswers() const {
        return static_cast<int>(answers_.size() + savePaths_.size() + chosenPaths_.size() +
                                loudnessChoices_.size());
    }
    void Clear();

private:
    QList<Message> messages_;
    QList<SaveFileRequest> saveRequests_;
    QList<OpenFileRequest> choiceRequests_;
    QQueue<Answer> answers_;
    QQueue<std::optional<QString>> savePaths_;
    QQueue<std::optional<QString>> chosenPaths_;
    QList<LoudnessMatchRequest> loudnessRequests_;
    QQueue<std::optional<LoudnessMatchChoice>> loudnessChoices_;
    int unanswered_ = 0;
};
