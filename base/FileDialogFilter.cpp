#include "base/FileDialogFilter.h"

using namespace Qt::StringLiterals;

QStringList NameFiltersFromWindowsFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        if (label.isEmpty()) {
            break;  // the "||" that ends the list
        }
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        if (label.contains(u'(') && label.trimmed().endsWith(u')')) {
            nameFilters << label;
        } else {
            nameFilters << label + u" ("_s + patterns + u')';
        }
    }
    return nameFilters;
}
