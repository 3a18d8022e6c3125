#pragma once

#include <QString>

#include "base/ToolState.h"

// The application object: the tool's state (caption, program name, start directory, flash card
// size) with the program name taken from the running executable. Holds no widget; the executable
// creates and runs the main window.
class ToolApp : public ToolState {
public:
    using ToolState::ToolState;

    // The executable's file name without directory and extension, links followed to the real
    // file.
    static QString ProgramNameFromExecutable(const QString& executablePath);
    // The program name of the running executable (needs the application object).
    static QString ProgramNameOfThisProcess();
};
