// Preloaded (LD_PRELOAD) into an installed Vantrel by the package test: once the main window is up,
// it presses Exit and answers the question with Yes, as a user would, so that the program ends by
// itself and its pages write the settings file.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Clicks from the event loop, not from the timer: the click may open a modal box whose own loop
// must see this timer fire again.
void ClickLater(QAbstractButton* button) {
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

void PressExitOnceShown() {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box != nullptr && box->isVisible() && box->button(QMessageBox::Yes) != nullptr) {
                ClickLater(box->button(QMessageBox::Yes));
                return;
            }
        }
        for (QWidget* window : windows) {
            auto* exit = window->findChild<QPushButton*>(u"exitButton"_s);
            if (exit != nullptr && exit->isVisible() && exit->isEnabled() &&
                QApplication::activeModalWidget() == nullptr) {
                ClickLater(exit);
                return;
            }
        }
    });
    timer->start(200);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(PressExitOnceShown)
