#include "app/ToolStartup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "app/MainWindow.h"
#include "app/SingleInstanceLock.h"
#include "app/ToolApp.h"
#include "base/DialogService.h"

using namespace Qt::StringLiterals;

namespace {

// Makes folder (and its parents) when missing and enters it; on failure says why in reason.
bool EnterWorkFolder(const QString& folder, QString& reason) {
    std::error_code error;
    std::filesystem::create_directories(
        std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error) {
        reason = QString::fromLocal8Bit(error.message());
        return false;
    }
    if (!QDir::setCurrent(folder)) {
        reason = u"it cannot be entered"_s;
        return false;
    }
    return true;
}

}  // namespace

QString UserWorkFolder(const QString& programName) {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        documents = QDir::homePath();
    }
    return QDir(documents).filePath(programName);
}

int RunTool(ToolApp& tool, DialogService& dialogs, ProgressSinkFactory& progress,
            const QString& workFolder) {
    SingleInstanceLock lock(u"Vantrel"_s);
    if (!lock.TryAcquire()) {
        dialogs.ShowError(u"Program is already running"_s);
        return 1;
    }
    QString reason;
    if (!workFolder.isEmpty() && !EnterWorkFolder(workFolder, reason)) {
        dialogs.ShowError(u"Cannot use the work folder %1: %2"_s.arg(
            QDir::toNativeSeparators(workFolder), reason));
        return 1;
    }
    tool.CaptureStartDirectory();
    // The window is closed and destroyed before the lock is released: the pages write their
    // settings as it closes.
    MainWindow window(PageContext{tool, dialogs, progress});
    window.show();
    QApplication::exec();
    return 0;
}
