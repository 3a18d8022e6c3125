#include "ftp/RemoteListParser.h"

#include <QRegularExpression>
#include <array>

#include "ftp/RemoteName.h"

using namespace Qt::StringLiterals;

namespace {

struct Token {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Positions of the blank-separated words of line, up to maxTokens of them.
QList<Token> Tokenize(QStringView line, int maxTokens) {
    QList<Token> tokens;
    qsizetype position = 0;
    while (position < line.size() && tokens.size() < maxTokens) {
        while (position < line.size() && line[position].isSpace()) {
            ++position;
        }
        if (position == line.size()) {
            break;
        }
        const qsizetype begin = position;
        while (position < line.size() && !line[position].isSpace()) {
            ++position;
        }
        tokens.append({begin, position});
    }
    return tokens;
}

bool IsMonth(QStringView word) {
    static const std::array<QStringView, 12> months = {u"jan", u"feb", u"mar", u"apr",
                                                       u"may", u"jun", u"jul", u"aug",
                                                       u"sep", u"oct", u"nov", u"dec"};
    for (QStringView month : months) {
        if (word.compare(month, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool IsNumber(QStringView word) {
    if (word.isEmpty()) {
        return false;
    }
    for (QChar character : word) {
        if (!character.isDigit()) {
            return false;
        }
    }
    return true;
}

bool IsClockOrYear(QStringView word) {
    static const QRegularExpression pattern(u"^(\\d{1,2}:\\d{2}(:\\d{2})?|\\d{4})$"_s);
    return pattern.match(word).hasMatch();
}

bool IsIsoDate(QStringView word) {
    static const QRegularExpression pattern(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    return pattern.match(word).hasMatch();
}

}  // namespace

QList<RemoteEntry> RemoteListParser::Parse(const QByteArray& listing) {
    QList<RemoteEntry> entries;
    const QString text = remote_name::FromBytes(listing);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        // Regular expressions refuse text that holds the lone surrogates standing for bytes that
        // are not UTF-8: the line is parsed with U+FFFD in their place, one for one, and the
        // name is then taken back from the line itself.
        QString parsed = line.toString();
        for (qsizetype index = 0; index < parsed.size(); ++index) {
            if (parsed[index].isLowSurrogate() &&
                (index == 0 || !parsed[index - 1].isHighSurrogate())) {
                parsed[index] = QChar::ReplacementCharacter;
            }
        }
        std::optional<RemoteEntry> entry = ParseLine(parsed);
        if (!entry) {
            continue;
        }
        if (parsed != line) {
            const qsizetype link = parsed.indexOf(entry->name + u" -> "_s);
            const qsizetype at =
                parsed[0] == u'l' && link >= 0 ? link : parsed.size() - entry->name.size();
            entry->name = line.mid(at, entry->name.size()).toString();
        }
        entry->rawName = remote_name::ToBytes(entry->name);
        entries.append(*entry);
    }
    return entries;
}

std::optional<RemoteEntry> RemoteListParser::ParseLine(QStringView line) {
    if (line.isEmpty()) {
        return std::nullopt;
    }
    if (line[0].isDigit()) {
        return ParseDosLine(line);
    }
    return ParseUnixLine(line);
}

std::optional<RemoteEntry> RemoteListParser::ParseUnixLine(QStringView line) {
    static const QRegularExpression permissions(u"^[-dlbcpsD][-rwxsStTlL+.@]{9}"_s);
    if (!permissions.match(line).hasMatch()) {
        return std::nullopt;  // also "total N"
    }
    // permissions links owner [group] size date... name: at most 9 words before the name.
    const QList<Token> tokens = Tokenize(line, 10);
    auto word = [&](qsizetype index) {
        return line.mid(tokens[index].begin, tokens[index].end - tokens[index].begin);
    };
    // The date is the landmark: the size is the word before it and the name follows it.
    for (qsizetype index = 3; index + 2 < tokens.size(); ++index) {
        qsizetype dateEnd = -1;
        if (IsMonth(word(index)) && IsNumber(word(index + 1)) && IsClockOrYear(word(index + 2)) &&
            index + 3 < tokens.size()) {
            dateEnd = index + 2;
        } else if (IsIsoDate(word(index)) && IsClockOrYear(word(index + 1))) {
            dateEnd = index + 1;
        }
        if (dateEnd < 0 || !IsNumber(word(index - 1))) {
            continue;
        }
        bool sizeOk = false;
        RemoteEntry entry;
        entry.size = word(index - 1).toULongLong(&sizeOk);
        if (!sizeOk) {
            return std::nullopt;
        }
        // One blank separates the date from the name; further blanks belong to the name.
        qsizetype nameBegin = tokens[dateEnd].end;
        if (nameBegin < line.size()) {
            ++nameBegin;
        }
        QStringView name = line.mid(nameBegin);
        const QChar type = line[0];
        if (type == u'l') {
            const qsizetype arrow = name.indexOf(u" -> ");
            if (arrow >= 0) {
                name = name.left(arrow);
            }
        }
        if (name.isEmpty()) {
            return std::nullopt;
        }
        entry.name = name.toString();
        entry.isDirectory = type == u'd' || type == u'D';
        return entry;
    }
    return std::nullopt;
}

std::optional<RemoteEntry> RemoteListParser::ParseDosLine(QStringView line) {
    static const QRegularExpression pattern(
        u"^(\\d{1,2}-\\d{1,2}-\\d{2,4})\\s+(\\d{1,2}:\\d{2}\\s*([AaPp][Mm])?)\\s+(<DIR>|\\d+)\\s+(.+)$"_s);
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    RemoteEntry entry;
    // The columns are padded with blanks; a name's own leading blanks cannot be told apart.
    entry.name = match.captured(5);
    if (entry.name.isEmpty()) {
        return std::nullopt;
    }
    if (match.capturedView(4).compare(u"<DIR>", Qt::CaseInsensitive) == 0) {
        entry.isDirectory = true;
    } else {
        bool sizeOk = false;
        entry.size = match.capturedView(4).toULongLong(&sizeOk);
        if (!sizeOk) {
            return std::nullopt;
        }
    }
    return entry;
}
