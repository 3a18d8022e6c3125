#pragma once

#include <QPointer>
#include <QString>

#include "app/DialogService.h"

class QWidget;

// The dialog service of the running program: message boxes and the save dialog, captioned with
// the application caption and modal to the parent window when one is set.
class WidgetDialogService : public DialogService {
public:
    explicit WidgetDialogService(QString caption);

    void SetParentWindow(QWidget* parent) { parent_ = parent; }

    Answer ShowMessage(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> AskSaveFileName(const SaveFileRequest& request) override;

private:
    QString caption_;
    QPointer<QWidget> parent_;
};
