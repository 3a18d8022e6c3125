#include "setfile/FormatKilobytes.h"

using namespace Qt::StringLiterals;

QString FormatKilobytes(quint64 bytes) {
    const qulonglong kb = bytes / 1024;
    if (kb >= 1000000) {
        return u"%1,%2,%3 KB"_s.arg(kb / 1000000, 3)
            .arg((kb / 1000) % 1000, 3, 10, QChar(u'0'))
            .arg(kb % 1000, 3, 10, QChar(u'0'));
    }
    if (kb >= 1000) {
        return u"%1,%2 KB"_s.arg(kb / 1000).arg(kb % 1000, 3, 10, QChar(u'0'));
    }
    return u"%1 KB"_s.arg(kb);
}
