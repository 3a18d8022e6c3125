#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows a cursor shape over the whole application for the lifetime of the object, when asked to
// be active; the cursor shown before comes back when it ends.
class OverrideCursor {
public:
    OverrideCursor(Qt::CursorShape shape, bool active) : active_(active) {
        if (active_) {
            QGuiApplication::setOverrideCursor(QCursor(shape));
        }
    }
    ~OverrideCursor() {
        if (active_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;

private:
    bool active_;
};
