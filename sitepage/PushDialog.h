#pragma once

#include <QDialog>
#include <optional>

#include "site/SiteFile.h"
#include "transfer/FileCategory.h"

class ControllerChoiceModel;
class DialogService;
class QComboBox;
class QLineEdit;

// "Push file...": the category, the file (or for the web category the folder of the tree) and
// the controllers it goes to, all checked at first.
class PushDialog : public QDialog {
    Q_OBJECT

public:
    struct Choice {
        FileCategory category = FileCategory::Configuration;
        QString localPath;
        QStringList controllers;
    };

    PushDialog(const QList<SiteFile::Controller>& controllers, DialogService& dialogs,
               QWidget* parent);

    Choice Chosen() const;

    void accept() override;

private:
    void Browse();

    DialogService& dialogs_;
    QComboBox* categoryCombo_ = nullptr;
    QLineEdit* fileEdit_ = nullptr;
    ControllerChoiceModel* choices_ = nullptr;
};
