#include "sitepage/ControllerDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "base/DialogService.h"
#include "base/ToolState.h"

using namespace Qt::StringLiterals;

ControllerDialog::ControllerDialog(const SiteFile::Controller& controller, DialogService& dialogs,
                                   QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(u"controllerDialog"_s);
    setWindowTitle(ToolState::AppCaption());
    auto makeEdit = [this](const QString& name, const QString& accessible, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        edit->setAccessibleName(accessible);
        return edit;
    };
    nameEdit_ = makeEdit(u"controllerNameEdit"_s, u"Name"_s, controller.name);
    addressEdit_ = makeEdit(u"controllerAddressEdit"_s, u"Address"_s, controller.address);
    portBox_ = new QSpinBox(this);
    portBox_->setObjectName(u"controllerPortBox"_s);
    portBox_->setAccessibleName(u"Port"_s);
    portBox_->setRange(1, 65535);
    portBox_->setValue(controller.port);
    userEdit_ = makeEdit(u"controllerUserEdit"_s, u"User"_s, controller.user);

    auto* form = new QFormLayout(this);
    auto addRow = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(u"Name"_s, nameEdit_);
    addRow(u"Address"_s, addressEdit_);
    addRow(u"Port"_s, portBox_);
    addRow(u"User"_s, userEdit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

SiteFile::Controller ControllerDialog::Controller() const {
    return {nameEdit_->text().trimmed(), addressEdit_->text().trimmed(),
            static_cast<quint16>(portBox_->value()), userEdit_->text().trimmed()};
}

void ControllerDialog::accept() {
    const SiteFile::Controller controller = Controller();
    if (const QString problem = SiteFile::NameProblem(controller.name); !problem.isEmpty()) {
        dialogs_.Inform(problem);
        return;
    }
    if (controller.address.isEmpty() || controller.address.contains(u' ')) {
        dialogs_.Inform(u"\"%1\" is not an address."_s.arg(controller.address));
        return;
    }
    QDialog::accept();
}
