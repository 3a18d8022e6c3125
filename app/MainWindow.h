#pragma once

#include <QWidget>
#include <array>

#include "app/PageContext.h"
#include "controller/ControllerSession.h"

class FileTransferPage;
class LoginPage;
class MessageSetPage;
class PageDialog;
class QPushButton;
class QTabBar;
class UnsavedSetOwner;

// The program's only top-level window: the navigation buttons on the left, one of the three pages
// on the right. Owns the pages and the controller session they share, asks before the program
// exits, and deletes the pages in a fixed order so that each writes its settings back.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Registry positions of the pages.
    enum PageIndex { kMessageSetPage = 0, kLoginPage = 1, kFileTransferPage = 2 };

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
    ControllerSession& Session() { return session_; }

    // The owner of the set asked about before exit; the message set page unless a test says
    // otherwise.
    void SetUnsavedSetOwner(UnsavedSetOwner* owner) { unsavedSetOwner_ = owner; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    // Makes the page's window and fills in its registry entry; the page stays hidden.
    void AddPage(int index, PageDialog* page);
    // Asks before exit; true when the window may close.
    bool ConfirmExit();

    const PageContext context_;
    ControllerSession session_;
    QTabBar* pageRegistry_ = nullptr;
    QWidget* pageArea_ = nullptr;
    MessageSetPage* messageSetPage_ = nullptr;
    LoginPage* loginPage_ = nullptr;
    FileTransferPage* fileTransferPage_ = nullptr;
    std::array<QPushButton*, 3> pageButtons_{};
    UnsavedSetOwner* unsavedSetOwner_ = nullptr;
};
