#pragma once

#include <QString>
#include <QTextStream>

// Reads a password for the command-line tool: from the first line of a file, or asked on the
// terminal without echo (from standard input as a line when it is not a terminal). The password
// is never printed or stored.
namespace password_prompt {

// The file's first line without its line end; false with the reason.
[[nodiscard]] bool FromFile(const QString& path, QString* password, QString* errorText);
// Asks with prompt on err and reads one line from standard input, without echo on a terminal.
QString Ask(QTextStream& err, const QString& prompt);

}  // namespace password_prompt
