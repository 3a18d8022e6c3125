#pragma once

#include <QPointer>
#include <QWidget>

#include "base/ProgressSink.h"
#include "progress/ProgressWindow.h"

// Makes real progress windows for the operations that take a ProgressSinkFactory.
class ProgressWindowFactory : public ProgressSinkFactory {
public:
    std::unique_ptr<ProgressSink> Create(const QString& title) override {
        return std::make_unique<ProgressWindow>(title, owner_.data());
    }
    void SetOwnerWindow(QWidget* window) override { owner_ = window; }

private:
    QPointer<QWidget> owner_;
};
