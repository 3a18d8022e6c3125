// The Vantrel executable: one copy at a time, the main window run until the user exits.

#include <QApplication>
#include <QDir>

#include "app/MainWindow.h"
#include "app/PageContext.h"
#include "app/SingleInstanceLock.h"
#include "app/ToolApp.h"
#include "app/WidgetDialogService.h"
#include "progress/ProgressWindowFactory.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ToolApp tool(ToolApp::ProgramNameFromExecutable(QString::fromLocal8Bit(argv[0])));
    QCoreApplication::setApplicationName(tool.ProgramName());
    WidgetDialogService dialogs(ToolApp::AppCaption());

    SingleInstanceLock lock(u"Vantrel"_s);
    if (!lock.TryAcquire()) {
        dialogs.ShowError(u"Program is already running"_s);
        return 1;
    }

    tool.CaptureStartDirectory();
    ProgressWindowFactory progress;
    int result = 0;
    {
        MainWindow window(PageContext{tool, dialogs, progress});
        dialogs.SetParentWindow(&window);
        window.show();
        result = QApplication::exec();
        dialogs.SetParentWindow(nullptr);
    }
    return result;
}
