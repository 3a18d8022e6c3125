// The Vantrel executable: one copy at a time, the main window run until the user exits. The one
// option, --work-folder, is what the desktop menu starts it with: it then works in the user's work
// folder instead of the current directory. Any other argument is ignored.

#include <QApplication>

#include "app/ToolApp.h"
#include "app/ToolStartup.h"
#include "progress/ProgressWindowFactory.h"
#include "widgets/WidgetDialogService.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ToolApp tool(ToolApp::ProgramNameOfThisProcess());
    QCoreApplication::setApplicationName(tool.ProgramName());
    WidgetDialogService dialogs(ToolApp::AppCaption());
    ProgressWindowFactory progress;
    const bool fromMenu = QCoreApplication::arguments().contains(u"--work-folder"_s);
    return RunTool(tool, dialogs, progress,
                   fromMenu ? UserWorkFolder(tool.ProgramName()) : QString());
}
