#include "base/ProfileLayout.h"

#include <QList>
#include <QSet>

namespace {

// The INI parser's own notions: blanks are space, tab, CR and LF (a form feed is part of a name
// to it), lines end at CR or LF, comments start with ";" or "#".
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

struct SectionStart {
    qsizetype offset;  // of its "["
    QByteArray name;   // in lower case
};

// Walks text as the parser's entry finder does and returns where each section header starts.
QList<SectionStart> SectionStarts(const QByteArray& text, qsizetype from) {
    QList<SectionStart> starts;
    const qsizetype size = text.size();
    qsizetype pos = from;
    const auto skipToLineEnd = [&] {
        while (pos < size && !IsLineEnd(text[pos])) {
            ++pos;
        }
    };
    while (pos < size) {
        while (pos < size && IsBlank(text[pos])) {
            ++pos;
        }
        if (pos == size) {
            break;
        }
        const char first = text[pos];
        if (first == ';' || first == '#') {
            skipToLineEnd();
        } else if (first == '[') {
            const qsizetype open = pos++;
            while (pos < size && IsBlank(text[pos])) {  // the parser lets this run over lines
                ++pos;
            }
            const qsizetype nameStart = pos;
            while (pos < size && text[pos] != ']' && !IsLineEnd(text[pos])) {
                ++pos;
            }
            if (pos < size && text[pos] == ']') {
                qsizetype nameEnd = pos;
                while (nameEnd > nameStart && IsBlank(text[nameEnd - 1])) {
                    --nameEnd;
                }
                starts.append({open, text.mid(nameStart, nameEnd - nameStart).toLower()});
                skipToLineEnd();
            }
        } else {
            // A key: up to "=" (then its value runs to the line end) or the line end.
            while (pos < size && text[pos] != '=' && !IsLineEnd(text[pos])) {
                ++pos;
            }
            if (pos < size && text[pos] == '=') {
                skipToLineEnd();
            }
        }
    }
    return starts;
}

}  // namespace

ProfileLayout ProfileLayout::Of(const QByteArray& file) {
    ProfileLayout layout;
    const qsizetype zero = file.indexOf('\0');
    const QByteArray text = zero < 0 ? file : file.left(zero);
    if (zero >= 0) {
        layout.unreadTail = file.mid(zero);
    }
    // The parser skips a UTF-8 byte order mark.
    const qsizetype from = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const QList<SectionStart> starts = SectionStarts(text, from);

    QSet<QByteArray> seen{QByteArray()};  // the keys before any section header
    qsizetype end = starts.isEmpty() ? text.size() : starts.front().offset;
    layout.parsed = text.left(end);
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype begin = starts[i].offset;
        end = i + 1 < starts.size() ? starts[i + 1].offset : text.size();
        const bool repeated = seen.contains(starts[i].name);
        seen.insert(starts[i].name);
        (repeated ? layout.repeatedSections : layout.parsed).append(text.mid(begin, end - begin));
    }
    return layout;
}
