#pragma once

#include <QDialog>

#include "site/SiteFile.h"

class DialogService;
class QLineEdit;
class QSpinBox;

// Adds a controller to the installation or edits one: its name, address, port and user name.
// The name must pass the site file's rule before the dialog closes.
class ControllerDialog : public QDialog {
    Q_OBJECT

public:
    ControllerDialog(const SiteFile::Controller& controller, DialogService& dialogs,
                     QWidget* parent);

    SiteFile::Controller Controller() const;

    void accept() override;

private:
    DialogService& dialogs_;
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* addressEdit_ = nullptr;
    QSpinBox* portBox_ = nullptr;
    QLineEdit* userEdit_ = nullptr;
};
