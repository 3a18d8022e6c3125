#include "tools/vantrel-site/PasswordPrompt.h"

#include <QFile>
#include <cstdio>
#include <string>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace password_prompt {

bool FromFile(const QString& path, QString* password, QString* errorText) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorText = u"Cannot read the password file %1: %2."_s.arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    *password = QString::fromUtf8(line);
    return true;
}

QString Ask(QTextStream& err, const QString& prompt) {
    err << prompt << Qt::flush;
    std::string line;
#ifdef Q_OS_UNIX
    termios old{};
    const bool terminal = isatty(STDIN_FILENO) != 0 && tcgetattr(STDIN_FILENO, &old) == 0;
    if (terminal) {
        termios quiet = old;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
#endif
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
        if (c != '\r') {
            line += static_cast<char>(c);
        }
    }
#ifdef Q_OS_UNIX
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        err << Qt::endl;
    }
#endif
    return QString::fromStdString(line);
}

}  // namespace password_prompt
