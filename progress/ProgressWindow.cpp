#include "progress/ProgressWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The position lives in the program's own default profile, in the platform's native format (on
// Linux "<program>.conf" in the user's configuration folder). Never an ".ini" file: started in
// that folder, the program's settings file "<program>.ini" would be the same file, and this
// profile's writes would rewrite the settings in their own escaped form.
QSettings PositionProfile() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QCoreApplication::applicationName());
}

// What a screen reader says for the bar besides its value.
QString PercentText(int percent) {
    return u"%1% done"_s.arg(percent);
}

}  // namespace

QString ProgressWindow::PositionFilePath() {
    return PositionProfile().fileName();
}

ProgressWindow::ProgressWindow(const QString& title, QWidget* owner)
    : owner_(owner), title_(title) {
    CreateWindow();
    RestorePosition();
    ShowProgress();
}

ProgressWindow::~ProgressWindow() {
    Close();
}

void ProgressWindow::CreateWindow() {
    window_ = new QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                       Qt::WindowTitleHint);
    window_->setObjectName(u"progressWindow"_s);
    window_->setWindowTitle(title_);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setCursor(Qt::BusyCursor);
    window_->installEventFilter(this);

    // No accessible name of its own: a screen reader reads the text itself.
    textLabel_ = new QLabel(window_);
    textLabel_->setObjectName(u"progressText"_s);
    textLabel_->setTextFormat(Qt::PlainText);  // "&" and "<" shown as they are
    textLabel_->setWordWrap(false);
    textLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QFontMetrics metrics = textLabel_->fontMetrics();
    textLabel_->setFixedSize(std::max(kTextWidth, metrics.averageCharWidth() * kTextColumns),
                             metrics.lineSpacing() * kTextLines);

    bar_ = new QProgressBar(window_);
    bar_->setObjectName(u"progressBar"_s);
    bar_->setAccessibleName(u"Progress"_s);
    bar_->setAccessibleDescription(PercentText(0));
    bar_->setTextVisible(false);
    bar_->setRange(lower_, upper_);
    bar_->setValue(0);

    cancelButton_ = new QPushButton(u" Cancel "_s, window_);
    cancelButton_->setObjectName(u"cancelButton"_s);
    cancelButton_->setAccessibleName(u"Cancel"_s);
    cancelButton_->setFocusPolicy(Qt::StrongFocus);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::RequestCancel);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(10);
    buttonRow->addWidget(bar_, 1);
    buttonRow->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(window_);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(textLabel_);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressWindow::ShowProgress() {
    if (window_ != nullptr && !window_->isVisible()) {
        window_->show();
        PaintNow();
    }
}

void ProgressWindow::PaintNow() {
    // A window just shown can be painted only once the window system has mapped and exposed it
    // (until then a paint is dropped). Callers pause or block right after showing it, so wait for
    // that here, briefly and without taking the user's input, which stays queued for the next
    // pump.
    const auto onScreen = [this] {
        const QWindow* handle = window_->windowHandle();
        return handle != nullptr && handle->isExposed() && window_->testAttribute(Qt::WA_Mapped);
    };
    const QDeadlineTimer deadline(kExposeWait);
    while (!onScreen() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        if (!onScreen()) {
            QThread::msleep(1);
        }
    }
    window_->repaint();
}

void ProgressWindow::HideProgress() {
    if (window_ != nullptr && window_->isVisible()) {
        window_->hide();
    }
}

void ProgressWindow::MakeModal() {
    if (window_ == nullptr) {
        return;
    }
    if (QWidget* mainWindow = owner_.data()) {
        mainWindow->setEnabled(false);
    }
    window_->setEnabled(true);
    modal_ = true;
}

void ProgressWindow::SetBarRange(int lower, int upper, int step) {
    if (window_ == nullptr) {
        return;
    }
    // The bar itself needs a non-empty range to draw; the stored bounds stay as given.
    bar_->setRange(lower, std::max(upper, lower));
    lower_ = lower;
    upper_ = upper;
    step_ = step;
}

void ProgressWindow::SetText(const QString& text) {
    if (window_ == nullptr) {
        return;
    }
    textLabel_->setText(text.left(kMaxTextLength));
}

void ProgressWindow::Advance() {
    if (window_ == nullptr) {
        return;
    }
    ShowProgress();
    SetBarPosition(position_ + step_);
}

int ProgressWindow::SetBarPosition(int newPosition) {
    if (window_ == nullptr) {
        return position_;
    }
    ShowProgress();
    const int previous = position_;
    position_ = newPosition;
    int percent = 0;
    if (upper_ > lower_) {
        // The lower bound is not subtracted from the position: every caller starts at 0.
        percent = static_cast<int>(
            std::min<qint64>(qint64(newPosition) * 100 / (qint64(upper_) - lower_), 100));
    }
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        // One arg() for both: a "%1" in the title is text, not a place for the percentage.
        window_->setWindowTitle(u"%1 [%2%]"_s.arg(title_, QString::number(percent)));
        bar_->setAccessibleDescription(PercentText(percent));
    }
    bar_->setValue(std::clamp(newPosition, bar_->minimum(), bar_->maximum()));
    return previous;
}

void ProgressWindow::RepaintNow() {
    if (window_ != nullptr && window_->isVisible()) {
        PaintNow();
    }
}

void ProgressWindow::PumpMessages() {
    if (modal_ && window_ != nullptr && !window_->isActiveWindow() && window_->isVisible()) {
        window_->activateWindow();
    }
    if (cancelled_) {
        return;
    }
    // While pumping, Escape anywhere in the program and a release over Cancel are looked at
    // before they are dispatched.
    pumping_ = true;
    qApp->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
    pumping_ = false;
}

bool ProgressWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close && window_ != nullptr) {
        event->ignore();  // no close box: only Cancel ends the window early
        return true;
    }
    if (!pumping_ || cancelled_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        RequestCancel();
        return true;
    }
    if (modal_ && event->type() == QEvent::MouseButtonRelease && cancelButton_ != nullptr) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QRect buttonRect(cancelButton_->mapToGlobal(QPoint(0, 0)), cancelButton_->size());
        if (mouse->button() == Qt::LeftButton &&
            buttonRect.contains(mouse->globalPosition().toPoint())) {
            RequestCancel();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ProgressWindow::RequestCancel() {
    if (cancelled_) {
        return;
    }
    cancelled_ = true;
    HideProgress();
    if (modal_ && window_ != nullptr) {
        // The window goes at once; the main window stays disabled until this object is destroyed.
        QWidget* closing = window_;
        window_ = nullptr;
        textLabel_ = nullptr;
        bar_ = nullptr;
        cancelButton_ = nullptr;
        closing->removeEventFilter(this);
        closing->deleteLater();
    }
    if (QWidget* mainWindow = owner_.data()) {
        mainWindow->activateWindow();
    }
}

void ProgressWindow::RestorePosition() {
    QSettings profile = PositionProfile();
    const int x = profile.value(u"Settings/X"_s, -1).toInt();
    const int y = profile.value(u"Settings/Y"_s, -1).toInt();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize();
    if (x < 0 || y < 0 || x >= screenSize.width() || y >= screenSize.height()) {
        CenterOverOwner();
    } else {
        window_->move(x, y);
    }
}

void ProgressWindow::CenterOverOwner() {
    window_->adjustSize();
    QRect area;
    if (owner_ != nullptr) {
        area = owner_->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
    }
}

void ProgressWindow::SavePosition() {
    if (window_ == nullptr) {
        return;
    }
    QSettings profile = PositionProfile();
    profile.setValue(u"Settings/X"_s, window_->frameGeometry().x());
    profile.setValue(u"Settings/Y"_s, window_->frameGeometry().y());
}

void ProgressWindow::Close() {
    SavePosition();
    if (modal_) {
        modal_ = false;
        if (QWidget* mainWindow = owner_.data()) {
            mainWindow->setEnabled(true);
        }
    }
    if (window_ != nullptr) {
        window_->removeEventFilter(this);
        delete window_;
        window_ = nullptr;
    }
}
