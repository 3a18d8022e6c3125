#include "tools/vantrel-set/TerminalProgress.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

TerminalProgress::TerminalProgress(QTextStream& err)
    : err_(err), enabled_(ErrorStreamIsTerminal()) {}

TerminalProgress::~TerminalProgress() {
    if (shown_) {
        err_ << Qt::endl;
    }
}

bool TerminalProgress::ErrorStreamIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(2) != 0;
#else
    return isatty(2) != 0;
#endif
}

void TerminalProgress::SetBarRange(int lower, int upper, int step) {
    lower_ = lower;
    upper_ = upper;
    step_ = step;
    position_ = lower;
}

void TerminalProgress::SetText(const QString& text) {
    text_ = text;
    lastPercent_ = -1;
    Show();
}

void TerminalProgress::Advance() {
    position_ = qMin(position_ + step_, upper_);
    Show();
}

void TerminalProgress::Show() {
    if (!enabled_) {
        return;
    }
    const int span = upper_ - lower_;
    const int percent = span > 0 ? static_cast<int>(qint64(position_ - lower_) * 100 / span) : 100;
    if (percent == lastPercent_) {
        return;
    }
    lastPercent_ = percent;
    // Keep the line within a usual terminal width so that "\r" rewrites it.
    QString line = u"%1% %2"_s.arg(percent, 3).arg(text_);
    if (line.size() > 78) {
        line = line.left(36) + u"..."_s + line.right(39);
    }
    err_ << u"\r\x1b[K"_s << line << Qt::flush;
    shown_ = true;
}
