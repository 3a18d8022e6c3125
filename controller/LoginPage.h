#pragma once

#include "widgets/PageDialog.h"

class IpAddressEdit;
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

Q_SIGNALS:
    // After each Connect and Disconnect command: whether the session is now connected and, when it
    // is, the address and user name it was opened with.
    void ConnectionChanged(bool connected, const QString& host, const QString& user);

private:
    void BuildLayout();
    void LoadSettings();
    // Connect on the session under a wait cursor.
    bool ConnectSession(const QString& userName, const QString& password, quint16 port);

    IpAddressEdit* addressEdit_ = nullptr;
    QLineEdit* userNameEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QPushButton* disconnectButton_ = nullptr;
    QString storedUserName_;  // as read from the settings file, possibly longer than the field
};
