#pragma once

#include <QString>
#include <QtGlobal>

// The application object: the program name, the start directory that decides where the settings
// file lives, the caption shared by every window and message box, and the flash card size of the
// connected controller. Holds no widget; the executable creates and runs the main window.
class ToolApp {
public:
    // programName names the settings file and is written into info files as their "AppName".
    explicit ToolApp(QString programName);

    // The executable's file name without directory and extension, links followed to the real
    // file.
    static QString ProgramNameFromExecutable(const QString& executablePath);
    // The program name of the running executable (needs the application object).
    static QString ProgramNameOfThisProcess();

    // "Orvanta File Transfer Application V.0.90.0400".
    static QString AppCaption();

    const QString& ProgramName() const { return programName_; }

    // Records the process's current directory once, at start-up.
    void CaptureStartDirectory();
    void SetStartDirectory(const QString& directory) { startDirectory_ = directory; }
    const QString& StartDirectory() const { return startDirectory_; }

    // start directory + "/" + program name + ".ini"; nothing checks that it exists.
    QString SettingsFilePath() const;

    // Bytes; 0 means no size has been read from the controller.
    quint32 FlashCardSize() const { return flashCardSize_; }
    void SetFlashCardSize(quint32 bytes) { flashCardSize_ = bytes; }

private:
    QString programName_;
    QString startDirectory_;
    quint32 flashCardSize_ = 0;
};
