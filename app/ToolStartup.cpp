#include "app/ToolStartup.h"

#include <QApplication>

#include "app/DialogService.h"
#include "app/MainWindow.h"
#include "app/SingleInstanceLock.h"
#include "app/ToolApp.h"

using namespace Qt::StringLiterals;

int RunTool(ToolApp& tool, DialogService& dialogs, ProgressSinkFactory& progress) {
    SingleInstanceLock lock(u"Vantrel"_s);
    if (!lock.TryAcquire()) {
        dialogs.ShowError(u"Program is already running"_s);
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
