#pragma once

#include <QString>
#include <QTextStream>

#include "base/ProgressSink.h"

// A progress line for the command-line tool: the percentage done and the current text, rewritten
// in place on the error stream, only when that stream is a terminal. Never cancels.
class TerminalProgress : public ProgressSink {
public:
    explicit TerminalProgress(QTextStream& err);
    ~TerminalProgress() override;

    // Whether the error stream of the process is a terminal.
    static bool ErrorStreamIsTerminal();

    void MakeModal() override {}
    void SetBarRange(int lower, int upper, int step) override;
    void SetText(const QString& text) override;
    void Advance() override;
    void PumpMessages() override {}
    bool IsCancelled() const override { return false; }
    void HideProgress() override {}
    void RepaintNow() override {}

private:
    void Show();

    QTextStream& err_;
    bool enabled_;
    bool shown_ = false;
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 1;
    int position_ = 0;
    int lastPercent_ = -1;
    QString text_;
};
