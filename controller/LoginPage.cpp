#include "controller/LoginPage.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/DialogService.h"
#include "base/SettingsKeys.h"
#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "controller/IpAddressEdit.h"
#include "controller/LoginFields.h"
#include "controller/LoginPort.h"
#include "controller/PasswordKeyring.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxFieldLength = LoginFields::kMaxFieldLength;

}  // namespace

LoginPage::LoginPage(const PageContext& context, QWidget* parent) : PageDialog(context, parent) {
    setObjectName(u"loginPage"_s);
    setAccessibleName(u"Login"_s);
    BuildLayout();
}

LoginPage::~LoginPage() {
    if (Session() != nullptr) {
        Session()->Disconnect();
    }
}

void LoginPage::BuildLayout() {
    auto* group = new QGroupBox(u"Network Controller"_s, this);
    group->setObjectName(u"networkControllerGroup"_s);

    controllerCombo_ = new QComboBox(group);
    controllerCombo_->setObjectName(u"controllerCombo"_s);
    controllerCombo_->setAccessibleName(u"Controller"_s);
    controllerCombo_->addItem(u"(none)"_s);
    connect(controllerCombo_, &QComboBox::activated, this, &LoginPage::ChooseController);
    addressEdit_ = new IpAddressEdit(group);
    userNameEdit_ = new QLineEdit(group);
    userNameEdit_->setObjectName(u"userNameEdit"_s);
    userNameEdit_->setAccessibleName(u"Username"_s);
    userNameEdit_->setMaxLength(kMaxFieldLength);
    passwordEdit_ = new QLineEdit(group);
    passwordEdit_->setObjectName(u"passwordEdit"_s);
    passwordEdit_->setAccessibleName(u"Password"_s);
    passwordEdit_->setMaxLength(kMaxFieldLength);
    passwordEdit_->setEchoMode(QLineEdit::Password);

    auto* fields = new QGridLayout;
    auto addRow = [&](int row, const QString& text, const QString& name, QWidget* field) {
        auto* label = new QLabel(text, group);
        label->setObjectName(name);
        label->setBuddy(field);
        fields->addWidget(label, row, 0);
        fields->addWidget(field, row, 1);
    };
    addRow(0, u"Controller"_s, u"controllerLabel"_s, controllerCombo_);
    addRow(1, u"Zentor address"_s, u"addressLabel"_s, addressEdit_);
    addRow(2, u"Username"_s, u"userNameLabel"_s, userNameEdit_);
    addRow(3, u"Password"_s, u"passwordLabel"_s, passwordEdit_);

    connectButton_ = new QPushButton(u"&Connect to NC"_s, group);
    connectButton_->setObjectName(u"connectButton"_s);
    connectButton_->setAccessibleName(u"Connect to NC"_s);
    disconnectButton_ = new QPushButton(u"&Disconnect"_s, group);
    disconnectButton_->setObjectName(u"disconnectButton"_s);
    disconnectButton_->setAccessibleName(u"Disconnect"_s);
    connect(connectButton_, &QPushButton::clicked, this, &LoginPage::OnConnect);
    connect(disconnectButton_, &QPushButton::clicked, this, &LoginPage::OnDisconnect);
    SetDefaultButton(connectButton_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(connectButton_);
    buttons->addWidget(disconnectButton_);
    buttons->addStretch();

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(fields);
    groupLayout->addSpacing(12);
    groupLayout->addLayout(buttons);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(24, 24, 24, 24);
    page->addWidget(group);
    page->addStretch();
}

void LoginPage::InitialisePage() {
    PageDialog::InitialisePage();
    LoadSettings();
    UpdateButtons();
    passwordEdit_->clear();
}

void LoginPage::LoadSettings() {
    const QString file = context_.app.SettingsFilePath();
    std::array<int, 4> octets{};
    for (int index = 0; index < 4; ++index) {
        octets[static_cast<size_t>(index)] =
            settings_keys::kAddressBytes[static_cast<size_t>(index)].ReadInt(file);
    }
    addressEdit_->SetAddress(octets);  // keeps the low 8 bits of each
    storedUserName_ = settings_keys::kUserName.Read(file);
    userNameEdit_->setText(storedUserName_.left(kMaxFieldLength));
}

QString LoginPage::SaveSettings() {
    const QString file = context_.app.SettingsFilePath();
    QString errorText;
    bool saved = true;
    for (int index = 0; index < 4 && saved; ++index) {
        saved = settings_keys::kAddressBytes[static_cast<size_t>(index)].Write(
            file, QString::number(qMax(0, addressEdit_->Field(index))), &errorText);
    }
    if (saved) {
        saved = settings_keys::kUserName.Write(
            file, LoginFields::UserNameToStore(storedUserName_, userNameEdit_->text()), &errorText);
    }
    if (!saved) {
        return u"The controller address and user name could not be saved in %1: %2"_s.arg(
            QDir::toNativeSeparators(file), errorText.simplified());
    }
    return {};
}

QString LoginPage::AddressText() const {
    return addressEdit_->AddressText();
}

void LoginPage::UpdateButtons() {
    const bool connected = Session() != nullptr && Session()->IsConnected();
    connectButton_->setEnabled(!connected);
    disconnectButton_->setEnabled(connected);
}

void LoginPage::QueryCardSize() {
    ControllerSession* session = Session();
    if (session == nullptr || !session->IsConnected()) {
        return;
    }
    const QString cardFile = settings_keys::kCardFile.Read(context_.app.SettingsFilePath());
    context_.app.SetFlashCardSize(session->RemoteFileSize(cardFile));
}

void LoginPage::OnConnect() {
    const QString userName = userNameEdit_->text();
    const QString password = passwordEdit_->text();
    DialogService& dialogs = context_.dialogs;
    if (userName.isEmpty() || password.isEmpty() || addressEdit_->FilledFieldCount() < 4) {
        dialogs.Inform(
            u"One or more fields left blank. Please provide all requested information."_s);
    } else if (Session() == nullptr) {
        dialogs.Inform(u"No connection present."_s);
    } else if (const QString refusal =
                   LoginFields::AddressRefusal({addressEdit_->Field(0), addressEdit_->Field(1),
                                                addressEdit_->Field(2), addressEdit_->Field(3)});
               !refusal.isEmpty()) {
        dialogs.Inform(refusal);
    } else {
        QString portError;
        std::optional<quint16> port = ChosenPort();
        if (!port) {
            port = LoginPort::Read(context_.app.SettingsFilePath(), &portError);
        }
        connectedPort_ = port.value_or(0);
        if (!port) {
            dialogs.Inform(portError);
        } else if (ConnectSession(userName, password, *port)) {
            dialogs.Inform(
                u"Status : Connected to %1, Username : %2"_s.arg(AddressText(), userName));
        } else {
            dialogs.Inform(Session()->LastError());
        }
    }
    {
        const WaitCursor waitCursor;  // the card read waits on the controller too
        QueryCardSize();
    }
    UpdateButtons();
    const bool connected = Session() != nullptr && Session()->IsConnected();
    Q_EMIT ConnectionChanged(connected, connected ? AddressText() : QString(),
                             connected ? userName : QString(),
                             connected ? NameOf(AddressText(), connectedPort_) : QString());
}

bool LoginPage::ConnectSession(const QString& userName, const QString& password, quint16 port) {
    // The window blocks until the controller answers or the wait runs out.
    const WaitCursor waitCursor;
    return Session()->Connect(ToolState::AppCaption(), AddressText(), userName, password, port);
}

void LoginPage::OnDisconnect() {
    if (Session() != nullptr) {
        const WaitCursor waitCursor;  // the controller is told goodbye
        Session()->Disconnect();
    }
    context_.app.SetFlashCardSize(0);
    UpdateButtons();
    Q_EMIT ConnectionChanged(false, {}, {}, {});
}

void LoginPage::SetControllers(const QList<LoginTarget>& targets) {
    targets_ = targets;
    const QString chosenName = chosen_ ? chosen_->name : QString();
    controllerCombo_->clear();
    controllerCombo_->addItem(u"(none)"_s);
    chosen_.reset();
    for (const LoginTarget& target : targets) {
        controllerCombo_->addItem(u"%1 (%2)"_s.arg(target.name, target.address));
        if (!chosenName.isEmpty() && target.name == chosenName) {
            chosen_ = target;
            controllerCombo_->setCurrentIndex(controllerCombo_->count() - 1);
        }
    }
}

void LoginPage::ChooseController(int index) {
    if (index <= 0 || index > targets_.size()) {
        chosen_.reset();
        return;
    }
    const LoginTarget& target = targets_.at(index - 1);
    const QStringList parts = target.address.split(u'.');
    std::array<int, 4> octets{};
    bool valid = parts.size() == 4;
    for (qsizetype part = 0; valid && part < 4; ++part) {
        const int value = parts.at(part).toInt(&valid);
        valid = valid && value >= 0 && value <= 255;
        octets[static_cast<size_t>(part)] = value;
    }
    if (!valid) {
        chosen_.reset();
        controllerCombo_->setCurrentIndex(0);
        context_.dialogs.Inform(
            u"The address of %1, %2, is not a numeric address; type it in."_s.arg(target.name,
                                                                                  target.address));
        return;
    }
    chosen_ = target;
    addressEdit_->SetAddress(octets);
    userNameEdit_->setText(target.user.left(kMaxFieldLength));
    storedUserName_ = target.user;
    passwordEdit_->clear();
    if (keyring_ != nullptr && keyring_->Problem().isEmpty()) {
        if (const auto kept =
                keyring_->Read(PasswordKeyring::KeyOf(target.address, target.port, target.user))) {
            passwordEdit_->setText(*kept);
        }
    }
}

std::optional<quint16> LoginPage::ChosenPort() const {
    if (chosen_ && chosen_->address == AddressText()) {
        return chosen_->port;
    }
    return std::nullopt;
}

QString LoginPage::NameOf(const QString& address, quint16 port) const {
    for (const LoginTarget& target : targets_) {
        if (target.address == address && target.port == port) {
            return target.name;
        }
    }
    return {};
}
