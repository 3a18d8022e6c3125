#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <memory>

#include "base/ProgressSink.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

// The small always-on-top window that a long operation puts up for its own duration: a caption
// with the percentage done, a four-line text, a bar and a " Cancel " button. It does no work of its
// own: the operation advances it, lets it pump events and reads IsCancelled(). A cancel hides the
// window and, when modal, closes it; after that every operation that needs the window does
// nothing. Destroying the object enables the main window again and saves the position.
class ProgressWindow : public QObject, public ProgressSink {
    Q_OBJECT

public:
    // The text area is kTextWidth wide, or kTextColumns average characters of the window's font
    // when that is wider, and kTextLines lines high.
    static constexpr int kTextWidth = 390;
    static constexpr int kTextColumns = 64;
    static constexpr int kTextLines = 4;
    static constexpr int kMaxTextLength = 511;
    static constexpr std::chrono::milliseconds kExposeWait{500};

    // The file (or, where the platform keeps profiles elsewhere, the place) that holds the saved
    // position: never a name the settings file can have.
    static QString PositionFilePath();

    // Creates and shows the window at once, placed where it was last closed (or centred over
    // owner, the main window). MakeModal disables owner until this object is destroyed; without an
    // owner the window centres on the screen and disables nothing.
    ProgressWindow(const QString& title, QWidget* owner);
    ~ProgressWindow() override;

    void MakeModal() override;
    void SetBarRange(int lower, int upper, int step) override;
    void SetText(const QString& text) override;
    void Advance() override;
    void PumpMessages() override;
    bool IsCancelled() const override { return cancelled_; }
    void HideProgress() override;
    void RepaintNow() override;

    // Moves the bar; the caption shows the whole percentage once it differs from the last shown.
    // Returns the previous position.
    int SetBarPosition(int newPosition);
    // The Cancel button's command, also run by Escape and by a release over the button.
    void RequestCancel();

    bool HasWindow() const { return window_ != nullptr; }
    bool IsModal() const { return modal_; }
    int Position() const { return position_; }
    QWidget* Window() const { return window_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateWindow();
    void ShowProgress();
    // Waits (at most kExposeWait) until the window system has exposed the window, then paints it.
    void PaintNow();
    void RestorePosition();
    void SavePosition();
    void CenterOverOwner();
    // Saves the position, enables the main window again and removes the window.
    void Close();

    QPointer<QWidget> owner_;
    QWidget* window_ = nullptr;  // owned; null once closed
    QLabel* textLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QString title_;
    bool cancelled_ = false;
    bool modal_ = false;
    bool pumping_ = false;
    int position_ = 0;
    int lastPercent_ = 0;
    int step_ = 1;
    int upper_ = 100;
    int lower_ = 0;
};
