#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ToolApp.h"
#include "base/DialogService.h"
#include "controller/LoginPage.h"
#include "messageset/MessageSetPage.h"
#include "base/ProgressSink.h"
#include "sitepage/SitePage.h"
#include "sitepage/SiteViewModel.h"
#include "transfer/FileTransferPage.h"

using namespace Qt::StringLiterals;

const QColor MainWindow::kWindowColour(74, 115, 222);

MainWindow::MainWindow(const PageContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      context_(context) {
    setObjectName(u"mainWindow"_s);
    BuildLayout();
    // Progress displays centre over this window and, when modal, disable it.
    context_.progress.SetOwnerWindow(this);

    // Created in this order; only the login page is shown at start.
    messageSetPage_ = new MessageSetPage(context_, pageStack_);
    AddPage(kMessageSetPage, messageSetPage_);
    loginPage_ = new LoginPage(context_, pageStack_);
    AddPage(kLoginPage, loginPage_);
    fileTransferPage_ = new FileTransferPage(context_, pageStack_);
    AddPage(kFileTransferPage, fileTransferPage_);
    sitePage_ = new SitePage(context_, pageStack_);
    AddPage(kSitePage, sitePage_);
    connect(loginPage_, &LoginPage::ConnectionChanged, this, &MainWindow::ShowConnection);
    loginPage_->SetKeyring(&keyring_);
    sitePage_->SetKeyring(&keyring_);
    connect(sitePage_, &SitePage::ControllersChanged, this, &MainWindow::OfferSiteControllers);
    connect(&sitePage_->View(), &SiteViewModel::RunFinished, this, [this] {
        if (closeAfterRun_) {
            QTimer::singleShot(0, this, &QWidget::close);
        }
    });
    OfferSiteControllers();
    session_.SetProgressFactory(&context_.progress);
    unsavedSetOwner_ = messageSetPage_;

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    windowPalette.setColor(QPalette::WindowText, QColor(206, 255, 255));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    setWindowIcon(QIcon(u":/icons/vantrel.png"_s));
    pageStack_->setCurrentIndex(kLoginPage);
    setWindowTitle(ToolApp::AppCaption());
    resize(OpeningSize());
}

MainWindow::~MainWindow() {
    context_.progress.SetOwnerWindow(nullptr);
    // A window that goes without being closed (the program ended otherwise) still writes the
    // settings; with nobody to tell, failures go to the log.
    for (const QString& failure : SaveAllSettings()) {
        qWarning("%s", qUtf8Printable(failure));
    }
    // The order is fixed; the login page disconnects the session as it goes.
    delete messageSetPage_;
    messageSetPage_ = nullptr;
    unsavedSetOwner_ = nullptr;
    delete loginPage_;
    loginPage_ = nullptr;
    delete fileTransferPage_;
    fileTransferPage_ = nullptr;
    // Cancels a run still going on and waits for its workers.
    delete sitePage_;
    sitePage_ = nullptr;
}

void MainWindow::BuildLayout() {
    auto* picture = new QLabel(this);
    picture->setObjectName(u"logoPicture"_s);
    picture->setAccessibleName(u"Logo"_s);
    picture->setPixmap(QIcon(u":/icons/vantrel.png"_s).pixmap(40, 40));
    picture->setAlignment(Qt::AlignCenter);

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAccessibleName(QString(text).remove(u'&'));
        return button;
    };
    auto* loginButton = makeButton(u"&Login"_s, u"loginButton"_s);
    auto* messageSetsButton = makeButton(u"&Message Sets"_s, u"messageSetsButton"_s);
    auto* fileTransferButton = makeButton(u"&File Transfer"_s, u"fileTransferButton"_s);
    // Alt+S is the message set page's "Save Message Set as...".
    auto* siteButton = makeButton(u"S&ite"_s, u"siteButton"_s);
    auto* exitButton = makeButton(u"&Exit"_s, u"exitButton"_s);
    // One width for the column: that of the widest label in the current font.
    const std::array<QPushButton*, 5> columnButtons{loginButton, messageSetsButton,
                                                    fileTransferButton, siteButton, exitButton};
    int buttonWidth = 0;
    for (const QPushButton* button : columnButtons) {
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    }
    for (QPushButton* button : columnButtons) {
        button->setMinimumWidth(buttonWidth);
    }
    pageButtons_ = {messageSetsButton, loginButton, fileTransferButton, siteButton};
    // A click does not take the focus: the button of the page already shown changes nothing, and
    // a switch gives the focus to the page. Tab still reaches the buttons.
    for (QPushButton* button : pageButtons_) {
        button->setFocusPolicy(Qt::TabFocus);
    }
    connect(messageSetsButton, &QPushButton::clicked, this, [this] { ShowPage(kMessageSetPage); });
    connect(loginButton, &QPushButton::clicked, this, [this] { ShowPage(kLoginPage); });
    connect(fileTransferButton, &QPushButton::clicked, this,
            [this] { ShowPage(kFileTransferPage); });
    connect(siteButton, &QPushButton::clicked, this, [this] { ShowPage(kSitePage); });
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->setContentsMargins(15, 15, 15, 15);
    buttonColumn->addWidget(picture, 0, Qt::AlignHCenter);
    buttonColumn->addSpacing(16);
    buttonColumn->addWidget(loginButton, 0, Qt::AlignHCenter);
    buttonColumn->addWidget(messageSetsButton, 0, Qt::AlignHCenter);
    buttonColumn->addWidget(fileTransferButton, 0, Qt::AlignHCenter);
    buttonColumn->addWidget(siteButton, 0, Qt::AlignHCenter);
    // Always in sight: whether a controller is connected, and which one.
    connectionLabel_ = new QLabel(this);
    connectionLabel_->setObjectName(u"connectionIndicator"_s);
    connectionLabel_->setWordWrap(true);
    connectionLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    connectionLabel_->setTextFormat(Qt::PlainText);  // a user name is shown as typed
    // Wraps within the column the buttons make instead of widening it.
    connectionLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    buttonColumn->addSpacing(8);
    buttonColumn->addWidget(connectionLabel_);
    ShowConnection(false, {}, {}, {});
    buttonColumn->addStretch();
    buttonColumn->addWidget(exitButton, 0, Qt::AlignHCenter);

    // The pages share one place; only the selected one is visible.
    pageStack_ = new QStackedWidget(this);
    pageStack_->setObjectName(u"pageStack"_s);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addLayout(buttonColumn);
    columns->addWidget(pageStack_, 1);
    // The window may grow; it never gets smaller than its pages and buttons need.
    columns->setSizeConstraint(QLayout::SetMinimumSize);
}

QSize MainWindow::OpeningSize() {
    // About the room the first version of the window gave at its dialog font.
    constexpr int kOpeningColumns = 150;
    constexpr int kOpeningLines = 40;
    layout()->activate();  // sets the minimum size from the pages
    const QFontMetrics metrics = fontMetrics();
    QSize size(metrics.averageCharWidth() * kOpeningColumns, metrics.lineSpacing() * kOpeningLines);
    if (const QScreen* screen = this->screen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    return size.expandedTo(minimumSize());
}

void MainWindow::AddPage(int index, PageDialog* page) {
    page->SetSession(&session_);
    pageStack_->insertWidget(index, page);
    page->InitialisePage();
}

int MainWindow::CurrentPageIndex() const {
    return pageStack_->currentIndex();
}

PageDialog* MainWindow::Page(int index) const {
    return qobject_cast<PageDialog*>(pageStack_->widget(index));
}

void MainWindow::ShowPage(int index) {
    if (index == pageStack_->currentIndex()) {
        return;  // not even the focus moves
    }
    setWindowTitle(ToolApp::AppCaption());
    pageStack_->setCurrentIndex(index);
    // Typing goes to the page's first control; a page without one takes the focus itself.
    if (!Page(index)->FocusFirstControl()) {
        Page(index)->setFocus();
    }
}

void MainWindow::OfferSiteControllers() {
    QList<LoginTarget> targets;
    const SiteViewModel& view = sitePage_->View();
    if (view.IsOpen()) {
        for (const SiteFile::Controller& controller : view.Site().Controllers()) {
            targets << LoginTarget{controller.name, controller.address, controller.port,
                                   controller.user};
        }
    }
    loginPage_->SetControllers(targets);
}

void MainWindow::ShowConnection(bool connected, const QString& host, const QString& user,
                                const QString& name) {
    QString text = u"Not connected"_s;
    if (connected) {
        text = name.isEmpty() ? u"Connected to %1 as %2"_s.arg(host, user)
                              : u"Connected to %1 (%2) as %3"_s.arg(name, host, user);
    }
    connectionLabel_->setText(text);
    connectionLabel_->setToolTip(text);
    // Read out as the label's name, so that it needs no caption of its own.
    connectionLabel_->setAccessibleName(text);
}

QStringList MainWindow::SaveAllSettings() {
    if (settingsSaved_) {
        return {};
    }
    settingsSaved_ = true;
    QStringList failures;
    for (PageDialog* page :
         {static_cast<PageDialog*>(messageSetPage_), static_cast<PageDialog*>(loginPage_),
          static_cast<PageDialog*>(fileTransferPage_), static_cast<PageDialog*>(sitePage_)}) {
        if (const QString failure = page->SaveSettings(); !failure.isEmpty()) {
            failures.append(failure);
        }
    }
    return failures;
}

bool MainWindow::ConfirmExit() {
    DialogService& dialogs = context_.dialogs;
    if (!dialogs.AskYesNo(u"Are you sure you want to exit ?"_s)) {
        return false;
    }
    if (unsavedSetOwner_ != nullptr && unsavedSetOwner_->IsSetChanged() &&
        dialogs.AskYesNo(u"The message set has changed. Do you want to save it first ?"_s,
                         DialogService::Icon::Question)) {
        // Whatever the save's outcome, the exit goes on.
        unsavedSetOwner_->SaveSetAs();
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // While a long operation runs under its modal progress window the main window is disabled; a
    // close request arriving through its event pump would delete the pages under the operation.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    // A run on the installation's controllers is cancelled and recorded before the window goes.
    if (sitePage_->View().IsRunning()) {
        event->ignore();
        if (!closeAfterRun_ &&
            context_.dialogs.AskYesNo(
                u"The Site page is still working on the controllers. Cancel every controller and "
                u"exit once the run is recorded?"_s,
                DialogService::Icon::Question)) {
            closeAfterRun_ = true;
            sitePage_->CancelRun();
        }
        return;
    }
    if (!closeAfterRun_ && !ConfirmExit()) {
        event->ignore();
        return;
    }
    // Written while the window still stands, so that one message can say what failed.
    if (const QStringList failures = SaveAllSettings(); !failures.isEmpty()) {
        context_.dialogs.ShowError(u"Some settings could not be saved:\n"_s + failures.join(u'\n'));
    }
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Esc never closes the main window
        return;
    }
    // Return on a navigation button presses it, as Space does (the pages handle their own).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button != nullptr && button->isEnabled()) {
            event->accept();
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
