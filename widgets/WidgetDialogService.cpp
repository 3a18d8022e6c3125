#include "widgets/WidgetDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "base/FileDialogFilter.h"
#include "widgets/LoudnessMatchDialog.h"
#include "widgets/OverrideCursor.h"

namespace {

// Keeps a question without Cancel open against Escape and the close box, so that only its own
// buttons answer it: a key press must not answer "No" to "save it first ?". (QMessageBox would
// take No as its escape button.) The close of an answered box goes past this filter.
class AnswerRequired : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// While a dialog waits for the user the pointer is an arrow, even when it opened during a long
// operation under a wait cursor; the operation's cursor comes back when the dialog closes.
class ArrowWhileAsking : public OverrideCursor {
public:
    ArrowWhileAsking()
        : OverrideCursor(Qt::ArrowCursor, QGuiApplication::overrideCursor() != nullptr) {}
};

}  // namespace

WidgetDialogService::WidgetDialogService(QString caption) : caption_(std::move(caption)) {}

DialogService::Answer WidgetDialogService::ShowMessage(const QString& text, Buttons buttons,
                                                       Icon icon) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption_);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint) &
                               ~Qt::WindowCloseButtonHint);
            box.installEventFilter(new AnswerRequired(&box));
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    const ArrowWhileAsking arrow;
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> WidgetDialogService::AskSaveFileName(const SaveFileRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    const QStringList nameFilters = NameFiltersFromWindowsFilter(request.filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    if (!request.defaultExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultExtension);
    }
    dialog.setDirectory(QDir::currentPath());
    dialog.selectFile(request.initialName);
    const ArrowWhileAsking arrow;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> WidgetDialogService::AskOpenFileName(const OpenFileRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList nameFilters = NameFiltersFromWindowsFilter(request.filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    dialog.setDirectory(request.initialFolder.isEmpty() ? QDir::currentPath()
                                                        : request.initialFolder);
    const ArrowWhileAsking arrow;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> WidgetDialogService::AskFolder(const QString& title,
                                                      const QString& initialFolder) {
    const ArrowWhileAsking arrow;
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), title,
        initialFolder.isEmpty() ? QDir::currentPath() : initialFolder);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(folder);
}

std::optional<DialogService::LoudnessMatchChoice> WidgetDialogService::AskLoudnessMatch(
    const LoudnessMatchRequest& request) {
    LoudnessMatchDialog dialog(request, QApplication::activeWindow());
    const ArrowWhileAsking arrow;
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}
