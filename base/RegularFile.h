#pragma once

#include <QString>

// Local files the tool reads (waves, info files, set files, sound files to import) are regular
// files. Opening a pipe waits for a writer, for ever; a device or a folder is no such file either.
namespace regular_file {

// The user's text for path when it exists and is not a regular file (or a link to one); empty
// otherwise, so that a missing file fails at its open as it always did.
QString Refusal(const QString& path);

}  // namespace regular_file
