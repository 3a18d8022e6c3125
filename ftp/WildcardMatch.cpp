#include "ftp/WildcardMatch.h"

bool WildcardMatch(QStringView pattern, QStringView name) {
    auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
    qsizetype p = 0;
    qsizetype n = 0;
    // The position after the last "*" seen and the name position it was last tried at.
    qsizetype afterStar = -1;
    qsizetype starAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            afterStar = ++p;
            starAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (afterStar >= 0) {
            // The last "*" takes one more character; what follows it is tried again from there.
            p = afterStar;
            n = ++starAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}
