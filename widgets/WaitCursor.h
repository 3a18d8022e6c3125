#pragma once

#include <QCoreApplication>

#include "widgets/OverrideCursor.h"

// Shows the platform's wait cursor over the whole application for the lifetime of the object.
// Does nothing in a program without a GUI application object (command-line tools, core tests).
class WaitCursor : public OverrideCursor {
public:
    WaitCursor()
        : OverrideCursor(Qt::WaitCursor,
                         qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {}
};
