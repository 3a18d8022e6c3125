#include "widgets/PageDialog.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

using namespace Qt::StringLiterals;

const QColor PageDialog::kPageColour(16, 57, 165);
const QColor PageDialog::kLabelTextColour(206, 255, 255);
const QColor PageDialog::kFieldTextColour(1, 1, 1);

PageDialog::PageDialog(const PageContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {}

PageDialog::~PageDialog() = default;

void PageDialog::InitialisePage() {
    // Labels, radio buttons and group boxes in light cyan on the page blue; fields and lists in
    // near-black on white. Push buttons keep the platform's look.
    QPalette pagePalette = palette();
    pagePalette.setColor(QPalette::Window, kPageColour);
    pagePalette.setColor(QPalette::WindowText, kLabelTextColour);
    pagePalette.setColor(QPalette::Base, Qt::white);
    pagePalette.setColor(QPalette::Text, kFieldTextColour);
    setPalette(pagePalette);
    setAutoFillBackground(true);
    update();
}

void PageDialog::ShowValue(QLabel* valueLabel, const QString& caption, const QString& value) {
    valueLabel->setText(value);
    valueLabel->setAccessibleName(caption + u": "_s + value);
}

QString PageDialog::SaveSettings() {
    return {};  // a page without settings
}

namespace {

// Tab stops at the checked button of an exclusive group only.
bool IsPassedOverRadio(const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    const QButtonGroup* group = button != nullptr ? button->group() : nullptr;
    return group != nullptr && group->exclusive() && !button->isChecked() &&
           group->checkedButton() != nullptr;
}

}  // namespace

QList<QWidget*> PageDialog::TabControls() const {
    // The same test Tab applies, kept to this page's own widgets.
    QList<QWidget*> controls;
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            widget->focusProxy() == nullptr && widget->isVisibleTo(this) && widget->isEnabled() &&
            !IsPassedOverRadio(widget)) {
            controls.append(widget);
        }
    }
    return controls;
}

bool PageDialog::FocusFirstControl() {
    const QList<QWidget*> controls = TabControls();
    if (controls.isEmpty()) {
        return false;
    }
    controls.constFirst()->setFocus(Qt::TabFocusReason);
    return true;
}

void PageDialog::FocusNextControl() {
    const QList<QWidget*> controls = TabControls();
    if (controls.isEmpty()) {
        return;
    }
    // The focus may sit inside a control (an editable combo's line edit): find its control.
    QWidget* focused = focusWidget();
    qsizetype index = -1;
    for (qsizetype i = 0; i < controls.size() && index < 0; ++i) {
        if (focused != nullptr &&
            (controls.at(i) == focused || controls.at(i)->isAncestorOf(focused))) {
            index = i;
        }
    }
    controls.at((index + 1) % controls.size())->setFocus(Qt::TabFocusReason);
}

void PageDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();  // never closes the page or the window
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            event->accept();
            auto* focusedButton = qobject_cast<QPushButton*>(focusWidget());
            if (focusedButton != nullptr && focusedButton->isEnabled()) {
                focusedButton->click();
            } else if (defaultButton_ != nullptr && defaultButton_->isEnabled() &&
                       defaultButton_->isVisible()) {
                defaultButton_->click();
            } else {
                FocusNextControl();
            }
            return;
        }
        default:
            QWidget::keyPressEvent(event);
    }
}
