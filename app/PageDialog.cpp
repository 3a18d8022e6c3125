#include "app/PageDialog.h"

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
                focusNextChild();
            }
            return;
        }
        default:
            QWidget::keyPressEvent(event);
    }
}
