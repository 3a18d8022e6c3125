#pragma once

class ToolState;
class DialogService;
class ProgressSinkFactory;

// The services every page is given when it is made. All of them outlive the pages.
struct PageContext {
    ToolState& app;
    DialogService& dialogs;
    ProgressSinkFactory& progress;
};
