#include "sitepage/PasswordDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "base/ToolState.h"

using namespace Qt::StringLiterals;

PasswordDialog::PasswordDialog(const QString& user, const QStringList& controllers,
                               const QString& keyringProblem, QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"passwordDialog"_s);
    setWindowTitle(ToolState::AppCaption());
    auto* label = new QLabel(u"Password of %1 (%2):"_s.arg(user, controllers.join(u", "_s)), this);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    passwordEdit_ = new QLineEdit(this);
    passwordEdit_->setObjectName(u"sitePasswordEdit"_s);
    passwordEdit_->setAccessibleName(label->text());
    passwordEdit_->setEchoMode(QLineEdit::Password);
    label->setBuddy(passwordEdit_);
    rememberBox_ = new QCheckBox(u"Remember in the desktop keyring"_s, this);
    rememberBox_->setObjectName(u"rememberPasswordBox"_s);
    if (!keyringProblem.isEmpty()) {
        rememberBox_->setEnabled(false);
        rememberBox_->setToolTip(keyringProblem);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(passwordEdit_);
    layout->addWidget(rememberBox_);
    layout->addWidget(buttons);
}

QString PasswordDialog::Password() const {
    return passwordEdit_->text();
}

bool PasswordDialog::Remember() const {
    return rememberBox_->isEnabled() && rememberBox_->isChecked();
}
