#pragma once

#include <QList>
#include <QQueue>
#include <optional>

#include "app/DialogService.h"

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

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest& request) override;

    const QList<Message>& Messages() const { return messages_; }
    QStringList Texts() const;
    const QList<SaveFileRequest>& SaveRequests() const { return saveRequests_; }
    int UnansweredQuestions() const { return unanswered_; }
    int PendingAnswers() const { return static_cast<int>(answers_.size() + savePaths_.size()); }
    void Clear();

private:
    QList<Message> messages_;
    QList<SaveFileRequest> saveRequests_;
    QQueue<Answer> answers_;
    QQueue<std::optional<QString>> savePaths_;
    int unanswered_ = 0;
};
