#pragma once

#include <QList>
#include <optional>

#include "controller/LoginTarget.h"
#include "widgets/PageDialog.h"

class IpAddressEdit;
class PasswordKeyring;
class QComboBox;
class QLineEdit;
class QPushButton;

// The page where the user connects to the network controller and disconnects from it. Keeps the
// address and the user name in the settings file (section "Login"), never the password; after a
// connection it reads the flash card's size into the application object.
class LoginPage : public PageDialog {
    Q_OBJECT

public:
    LoginPage(const PageContext& context, QWidget* parent);
    // Disconnects the session.
    ~LoginPage() override;

    void InitialisePage() override;
    // Writes the address and the user name to the settings file; never the password.
    [[nodiscard]] QString SaveSettings() override;

    // Commands of the two buttons.
    void OnConnect();
    void OnDisconnect();

    // Stores the size of the controller's card pseudo-file ("CardFile") as the flash card size;
    // nothing when not connected.
    void QueryCardSize();
    // "Connect" exactly when not connected, "Disconnect" exactly when connected.
    void UpdateButtons();
    QString AddressText() const;

    // The installation's controllers for the "Controller" list, after "(none)"; the one chosen
    // stays chosen while it is still there.
    void SetControllers(const QList<LoginTarget>& targets);
    // Where a password the user asked to keep is found for a chosen controller; may be none.
    void SetKeyring(PasswordKeyring* keyring) { keyring_ = keyring; }
    // Fills address, port, user name (and a kept password) from the list's entry at index
    // (0: "(none)", which changes nothing).
    void ChooseController(int index);

Q_SIGNALS:
    // After each Connect and Disconnect command: whether the session is now connected and, when it
    // is, the address and user name it was opened with, and the name of the installation's
    // controller at that address and port (empty when it is none of them).
    void ConnectionChanged(bool connected, const QString& host, const QString& user,
                           const QString& name);

private:
    void BuildLayout();
    void LoadSettings();
    // Connect on the session under a wait cursor.
    bool ConnectSession(const QString& userName, const QString& password, quint16 port);

    // The port to connect to: the chosen controller's while its address is in the fields, else
    // the settings file's.
    std::optional<quint16> ChosenPort() const;
    // The installation's name of the controller at the address and port; empty when none.
    QString NameOf(const QString& address, quint16 port) const;

    QComboBox* controllerCombo_ = nullptr;
    QList<LoginTarget> targets_;
    std::optional<LoginTarget> chosen_;
    PasswordKeyring* keyring_ = nullptr;
    quint16 connectedPort_ = 0;
    IpAddressEdit* addressEdit_ = nullptr;
    QLineEdit* userNameEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QPushButton* disconnectButton_ = nullptr;
    QString storedUserName_;  // as read from the settings file, possibly longer than the field
};
