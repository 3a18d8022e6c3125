#pragma once

class DialogService;
class ProgressSinkFactory;
class ToolApp;

// The program's start: one copy at a time, the start directory recorded, the main window run until
// the user exits. Returns the process exit status: 0 after a normal exit, 1 when another copy was
// running (the user was told, no window was opened and no file written).
int RunTool(ToolApp& tool, DialogService& dialogs, ProgressSinkFactory& progress);
