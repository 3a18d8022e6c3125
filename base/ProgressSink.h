#pragma once

#include <QString>
#include <memory>

class QWidget;

// What a long operation asks of a progress display. The progress window implements it; tests use a
// fake that cancels after a given number of steps. The operation advances once per unit of work,
// pumps, and then looks at IsCancelled(); cancelling only sets the flag, the operation stops,
// reports and cleans up itself.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // Disables the main window while the display is up (until it is destroyed).
    virtual void MakeModal() = 0;
    // The bar's range and the amount Advance() adds.
    virtual void SetBarRange(int lower, int upper, int step) = 0;
    // The text shown, exactly as given (no formatting, "&" and "%" literal).
    virtual void SetText(const QString& text) = 0;
    // Moves the bar one step on; shows a hidden display again.
    virtual void Advance() = 0;
    // Lets pending events run; Escape and the Cancel button cancel.
    virtual void PumpMessages() = 0;
    virtual bool IsCancelled() const = 0;
    virtual void HideProgress() = 0;
    // Repaints at once, so that a pause that follows shows the current state.
    virtual void RepaintNow() = 0;
};

// Makes the progress display of one operation; the operation owns it for its duration.
class ProgressSinkFactory {
public:
    virtual ~ProgressSinkFactory() = default;
    virtual std::unique_ptr<ProgressSink> Create(const QString& title) = 0;
    // The window that the displays made from now on centre over and, when modal, disable: the main
    // window gives itself while it exists and null as it goes. Displays without one need none.
    virtual void SetOwnerWindow(QWidget* window) { Q_UNUSED(window); }
};
