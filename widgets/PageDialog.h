#pragma once

#include <QWidget>

#include "widgets/PageContext.h"

class ControllerSession;
class QLabel;
class QPushButton;

// Base of the pages of the main window: the page colours, Return that presses the focused
// button or the page's default button or else moves on to the next control of the page (wrapping
// within it), Esc that is ignored (a page never closes itself), and the pointer to the main
// window's controller session.
class PageDialog : public QWidget {
    Q_OBJECT

public:
    static const QColor kPageColour;
    static const QColor kLabelTextColour;
    static const QColor kFieldTextColour;

    PageDialog(const PageContext& context, QWidget* parent);
    ~PageDialog() override;

    // Given by the main window before InitialisePage.
    void SetSession(ControllerSession* session) { session_ = session; }
    ControllerSession* Session() const { return session_; }

    // Runs once, after the session was given: pages read their settings here. Overrides call the
    // base first.
    virtual void InitialisePage();

    // Writes the page's settings back to the settings file. Returns an empty string when they were
    // written, otherwise one line that says what could not be saved and why. The main window calls
    // it before any page is deleted; it shows no message itself.
    [[nodiscard]] virtual QString SaveSettings();

    // The page's controls that take the focus by Tab, in tab order: visible, enabled ones only.
    QList<QWidget*> TabControls() const;
    // Gives the focus to the first of them; false when the page has none.
    bool FocusFirstControl();

    // Shows value in valueLabel and makes "caption: value" its accessible name, so that a screen
    // reader reads the value together with what it is; the caption's own label is for the eye.
    static void ShowValue(QLabel* valueLabel, const QString& caption, const QString& value);

protected:
    // The button Enter presses while it is enabled; none by default.
    void SetDefaultButton(QPushButton* button) { defaultButton_ = button; }

    void keyPressEvent(QKeyEvent* event) override;

    const PageContext context_;

private:
    // Moves the focus to the control after the focused one, from the last back to the first.
    void FocusNextControl();

    ControllerSession* session_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
};
