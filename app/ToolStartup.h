#pragma once

#include <QString>

class DialogService;
class ProgressSinkFactory;
class ToolApp;

// The folder the program works in when the desktop menu starts it (option --work-folder): the
// program's name in the user's documents folder, e.g. ~/Documents/Vantrel. A menu starts programs
// in the home folder, where the settings file and the upload folder would otherwise land.
QString UserWorkFolder(const QString& programName);

// The program's start: one copy at a time, the start directory recorded, the main window run until
// the user exits. A non-empty workFolder is made when missing and becomes the current directory
// before the start directory is recorded; empty keeps the directory the program was started in.
// Returns the process exit status: 0 after a normal exit, 1 when another copy was running or the
// work folder cannot be used (the user was told, no window was opened and no file written).
int RunTool(ToolApp& tool, DialogService& dialogs, ProgressSinkFactory& progress,
            const QString& workFolder = QString());
