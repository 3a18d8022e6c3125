#pragma once

#include <QString>
#include <QtGlobal>

// What every layer may know of the running tool: the caption shared by every window and message
// box, the program name that names the settings file and that info files carry, the start
// directory where the settings file lives, and the flash card size of the connected controller.
// The application object (app/ToolApp) is one; tests and tools make their own.
class ToolState {
public:
    // programName names the settings file and is written into info files as their "AppName".
    explicit ToolState(QString programName);

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
