#pragma once

#include <QStringList>

// Turns a filter written as "label|pattern|label|pattern||" into the name filters of a Qt file
// dialog ("label (pattern)"). A label that already names its patterns in parentheses is kept as it
// is; otherwise the patterns are added after it.
QStringList NameFiltersFromWindowsFilter(const QString& filter);
