// The Vantrel executable: one copy at a time, the main window run until the user exits. The program
// takes no command line.

#include <QApplication>

#include "app/ToolApp.h"
#include "app/ToolStartup.h"
#include "app/WidgetDialogService.h"
#include "progress/ProgressWindowFactory.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ToolApp tool(ToolApp::ProgramNameOfThisProcess());
    QCoreApplication::setApplicationName(tool.ProgramName());
    WidgetDialogService dialogs(ToolApp::AppCaption());
    ProgressWindowFactory progress;
    return RunTool(tool, dialogs, progress);
}
