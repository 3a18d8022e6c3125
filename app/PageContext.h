#pragma once

class ToolApp;
class DialogService;
class ProgressSinkFactory;

// The services every page is given when it is made. All of them outlive the pages.
struct PageContext {
    ToolApp& app;
    DialogService& dialogs;
    ProgressSinkFactory& progress;
};
