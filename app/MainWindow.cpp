#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/DialogService.h"
#include "app/ToolApp.h"
#include "controller/LoginPage.h"
#include "messageset/MessageSetPage.h"
#include "progress/ProgressWindow.h"
#include "transfer/FileTransferPage.h"

using namespace Qt::StringLiterals;

const QColor MainWindow::kWindowColour(74, 115, 222);

namespace {
QVariant PagePointer(PageDialog* page) {
    return QVariant::fromValue(static_cast<QObject*>(page));
}
}  // namespace

MainWindow::MainWindow(const PageContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      context_(context) {
    setObjectName(u"mainWindow"_s);
    BuildLayout();
    ProgressWindow::SetApplicationWindow(this);

    // The registry is a tab bar that is never shown; each tab carries its page.
    for (const QString& label : {u"WAV"_s, u"Login"_s, u"File Transfer"_s}) {
        pageRegistry_->addTab(label);
    }

    // Created in this order; only the login page is shown at start.
    messageSetPage_ = new MessageSetPage(context_, pageArea_);
    AddPage(kMessageSetPage, messageSetPage_);
    loginPage_ = new LoginPage(context_, pageArea_);
    AddPage(kLoginPage, loginPage_);
    fileTransferPage_ = new FileTransferPage(context_, pageArea_);
    AddPage(kFileTransferPage, fileTransferPage_);
    session_.SetProgressFactory(&context_.progress);
    unsavedSetOwner_ = messageSetPage_;

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    windowPalette.setColor(QPalette::WindowText, QColor(206, 255, 255));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    setWindowIcon(QIcon(u":/icons/vantrel.png"_s));
    pageRegistry_->setCurrentIndex(kLoginPage);
    loginPage_->show();
    setWindowTitle(ToolApp::AppCaption());
}

MainWindow::~MainWindow() {
    ProgressWindow::SetApplicationWindow(nullptr);
    // Each page writes its settings back while its controls still exist; the login page also
    // disconnects the session. The order is fixed.
    delete messageSetPage_;
    messageSetPage_ = nullptr;
    unsavedSetOwner_ = nullptr;
    delete loginPage_;
    loginPage_ = nullptr;
    delete fileTransferPage_;
    fileTransferPage_ = nullptr;
}

void MainWindow::BuildLayout() {
    auto* picture = new QLabel(this);
    picture->setObjectName(u"logoPicture"_s);
    picture->setAccessibleName(u"Logo"_s);
    picture->setFixedSize(142, 48);
    picture->setPixmap(QIcon(u":/icons/vantrel.png"_s).pixmap(40, 40));
    picture->setAlignment(Qt::AlignCenter);

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAccessibleName(QString(text).remove(u'&'));
        button->setFixedWidth(112);
        return button;
    };
    auto* loginButton = makeButton(u"&Login"_s, u"loginButton"_s);
    auto* messageSetsButton = makeButton(u"&Message Sets"_s, u"messageSetsButton"_s);
    auto* fileTransferButton = makeButton(u"&File Transfer"_s, u"fileTransferButton"_s);
    auto* exitButton = makeButton(u"&Exit"_s, u"exitButton"_s);
    pageButtons_ = {messageSetsButton, loginButton, fileTransferButton};
    connect(messageSetsButton, &QPushButton::clicked, this, [this] { ShowPage(kMessageSetPage); });
    connect(loginButton, &QPushButton::clicked, this, [this] { ShowPage(kLoginPage); });
    connect(fileTransferButton, &QPushButton::clicked, this,
            [this] { ShowPage(kFileTransferPage); });
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);

    pageRegistry_ = new QTabBar(this);
    pageRegistry_->setObjectName(u"pageRegistry"_s);
    pageRegistry_->hide();

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->setContentsMargins(15, 15, 15, 15);
    buttonColumn->addWidget(picture, 0, Qt::AlignHCenter);
    buttonColumn->addSpacing(16);
    buttonColumn->addWidget(loginButton, 0, Qt::AlignHCenter);
    buttonColumn->addWidget(messageSetsButton, 0, Qt::AlignHCenter);
    buttonColumn->addWidget(fileTransferButton, 0, Qt::AlignHCenter);
    buttonColumn->addStretch();
    buttonColumn->addWidget(exitButton, 0, Qt::AlignHCenter);

    pageArea_ = new QWidget(this);
    pageArea_->setObjectName(u"pageArea"_s);
    // Pages share one cell; only the selected one is visible.
    auto* pageGrid = new QGridLayout(pageArea_);
    pageGrid->setContentsMargins(0, 0, 0, 0);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addLayout(buttonColumn);
    columns->addWidget(pageArea_, 1);

    setFixedSize(900, 580);
}

void MainWindow::AddPage(int index, PageDialog* page) {
    page->SetSession(&session_);
    pageRegistry_->setTabData(index, PagePointer(page));
    static_cast<QGridLayout*>(pageArea_->layout())->addWidget(page, 0, 0);
    page->InitialisePage();
    page->hide();
}

int MainWindow::CurrentPageIndex() const {
    return pageRegistry_->currentIndex();
}

PageDialog* MainWindow::Page(int index) const {
    return qobject_cast<PageDialog*>(pageRegistry_->tabData(index).value<QObject*>());
}

void MainWindow::ShowPage(int index) {
    if (index == pageRegistry_->currentIndex()) {
        return;  // not even the focus moves
    }
    setWindowTitle(ToolApp::AppCaption());
    pageRegistry_->setCurrentIndex(index);
    for (int other = 0; other < pageRegistry_->count(); ++other) {
        if (other != index) {
            Page(other)->hide();
        }
    }
    PageDialog* page = Page(index);
    page->show();
    page->setFocus();
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
    if (ConfirmExit()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Esc never closes the main window
        return;
    }
    QWidget::keyPressEvent(event);
}
