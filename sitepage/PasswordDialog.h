#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Asks for the password of a user name on the controllers that share it, once for the run, with
// the box that keeps it in the desktop keyring. Without a keyring the box is disabled and its tool
// tip says why.
class PasswordDialog : public QDialog {
    Q_OBJECT

public:
    // keyringProblem: empty when the keyring can keep passwords, else why it cannot.
    PasswordDialog(const QString& user, const QStringList& controllers,
                   const QString& keyringProblem, QWidget* parent);

    QString Password() const;
    bool Remember() const;

private:
    QLineEdit* passwordEdit_ = nullptr;
    QCheckBox* rememberBox_ = nullptr;
};
