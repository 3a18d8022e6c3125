#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows the platform's wait cursor over the whole application for the lifetime of the object.
// Does nothing in a program without a GUI application object (command-line tools, core tests).
class WaitCursor {
public:
    WaitCursor()
        : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (active_) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        }
    }
    ~WaitCursor() {
        if (active_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_;
};
