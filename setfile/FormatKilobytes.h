#pragma once

#include <QString>
#include <QtGlobal>

// The size text of lists and totals: whole kilobytes (rounded down) with thousands separated by
// ",": "97 KB", "1,024 KB", and from a million kilobytes on the first group padded to three
// characters with blanks ("  1,024,000 KB").
QString FormatKilobytes(quint64 bytes);
