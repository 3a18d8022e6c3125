#pragma once

#include <QString>

// Which messages differ between two message set files, by name: "messages added: a, b; messages
// removed: c; messages changed: d" (changed: the same name with another length). When the names and
// lengths are the same, says that the sound differs; when either file is not a readable set, says
// so.
QString SetFileDifference(const QString& oldFile, const QString& newFile);
