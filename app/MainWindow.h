#pragma once

#include <QWidget>
#include <array>

#include "app/DesktopKeyring.h"
#include "controller/ControllerSession.h"
#include "widgets/PageContext.h"

class FileTransferPage;
class LoginPage;
class MessageSetPage;
class PageDialog;
class QLabel;
class QPushButton;
class QStackedWidget;
class SitePage;
class UnsavedSetOwner;

// The program's only top-level window: the navigation buttons on the left, one of the four pages
// on the right. Owns the pages and the controller session they share, asks before the program
// exits, has the pages write their settings back in a fixed order (reporting what failed in one
// message) and then deletes them in that order.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Positions of the pages in the page stack.
    enum PageIndex { kMessageSetPage = 0, kLoginPage = 1, kFileTransferPage = 2, kSitePage = 3 };

    static const QColor kWindowColour;

    explicit MainWindow(const PageContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the page at index unless it is already the visible one.
    void ShowPage(int index);
    int CurrentPageIndex() const;
    PageDialog* Page(int index) const;

    MessageSetPage* GetMessageSetPage() const { return messageSetPage_; }
    LoginPage* GetLoginPage() const { return loginPage_; }
    FileTransferPage* GetFileTransferPage() const { return fileTransferPage_; }
    SitePage* GetSitePage() const { return sitePage_; }
    ControllerSession& Session() { return session_; }

    // The owner of the set asked about before exit; the message set page unless a test says
    // otherwise.
    void SetUnsavedSetOwner(UnsavedSetOwner* owner) { unsavedSetOwner_ = owner; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    // Roomier than the minimum, in proportion to the font, and never beyond the screen.
    QSize OpeningSize();
    // Gives the page the session, puts it at index of the page stack and initialises it.
    void AddPage(int index, PageDialog* page);
    // Asks before exit; true when the window may close.
    bool ConfirmExit();
    // Shows the session's state under the page buttons.
    void ShowConnection(bool connected, const QString& host, const QString& user,
                        const QString& name);
    // Gives the login page the open installation's controllers.
    void OfferSiteControllers();
    // Has the pages write their settings, in page deletion order, once; the lines of the pages that
    // failed, empty when all were written.
    QStringList SaveAllSettings();

    const PageContext context_;
    ControllerSession session_;
    // Where the passwords the user asked to keep are; the login and Site pages share it.
    DesktopKeyring keyring_;
    QStackedWidget* pageStack_ = nullptr;
    MessageSetPage* messageSetPage_ = nullptr;
    LoginPage* loginPage_ = nullptr;
    FileTransferPage* fileTransferPage_ = nullptr;
    SitePage* sitePage_ = nullptr;
    std::array<QPushButton*, 4> pageButtons_{};
    QLabel* connectionLabel_ = nullptr;
    UnsavedSetOwner* unsavedSetOwner_ = nullptr;
    bool settingsSaved_ = false;
    // Exit was asked for while the Site page ran: the window closes once the run is recorded.
    bool closeAfterRun_ = false;
};
