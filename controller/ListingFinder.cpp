#include "controller/ListingFinder.h"

#include <QRegularExpression>

#include "controller/ControllerSession.h"

using namespace Qt::StringLiterals;

namespace {

// A name pattern as the controller's directory search takes it: "*" stands for any run of
// characters and "?" for one; every other character, "[" and "]" included, stands for itself.
QRegularExpression NameMatcher(const QString& pattern) {
    QString expression;
    for (const QChar character : pattern) {
        if (character == u'*') {
            expression += u".*"_s;
        } else if (character == u'?') {
            expression += u'.';
        } else {
            expression += QRegularExpression::escape(QString(character));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption);
}

// Regular expressions refuse text holding the lone surrogates that stand for bytes that are not
// UTF-8 (remote_name): they are matched as U+FFFD.
QString Matchable(const QString& text) {
    QString matchable = text;
    for (qsizetype index = 0; index < matchable.size(); ++index) {
        if (matchable[index].isLowSurrogate() &&
            (index == 0 || !matchable[index - 1].isHighSurrogate())) {
            matchable[index] = QChar::ReplacementCharacter;
        }
    }
    return matchable;
}

bool Matches(const QString& pattern, const QRegularExpression& matcher, const QString& name) {
    if (!pattern.contains(u'*') && !pattern.contains(u'?')) {
        return name.compare(pattern, Qt::CaseInsensitive) == 0;  // exact, byte names included
    }
    return matcher.match(Matchable(name)).hasMatch();
}

}  // namespace

bool ListingFinder::FindFirst(const QString& pattern) {
    Close();
    // The directory part ends at the last separator; both "/" and "\" separate.
    const qsizetype split = std::max(pattern.lastIndexOf(u'/'), pattern.lastIndexOf(u'\\'));
    QString directory;
    QString namePattern = pattern;
    if (split >= 0) {
        directory = pattern.left(split);
        if (directory.isEmpty()) {
            directory = u"/"_s;
        }
        directoryPrefix_ = pattern.left(split + 1);
        namePattern = pattern.mid(split + 1);
    }
    if (namePattern.isEmpty()) {
        return false;
    }
    QList<RemoteEntry> entries;
    if (!session_.ListRemote(directory, &entries)) {
        return false;
    }
    if (split < 0) {
        QString current = session_.RememberedRemoteDirectory();
        if (!current.isEmpty() && !current.endsWith(u'/') && !current.endsWith(u'\\')) {
            current += u'/';
        }
        directoryPrefix_ = current;
    }
    const QRegularExpression matcher = NameMatcher(Matchable(namePattern));
    for (const RemoteEntry& entry : entries) {
        if (Matches(namePattern, matcher, entry.name)) {
            matches_.append(entry);
        }
    }
    return !matches_.isEmpty();
}

bool ListingFinder::FindNext() {
    if (index_ + 1 >= matches_.size()) {
        return false;
    }
    ++index_;
    return true;
}

const RemoteEntry* ListingFinder::Current() const {
    return index_ < matches_.size() ? &matches_[index_] : nullptr;
}

QString ListingFinder::FileName() const {
    const RemoteEntry* entry = Current();
    return entry != nullptr ? entry->name : QString();
}

QString ListingFinder::FilePath() const {
    const RemoteEntry* entry = Current();
    return entry != nullptr ? directoryPrefix_ + entry->name : QString();
}

quint32 ListingFinder::Size() const {
    const RemoteEntry* entry = Current();
    return entry != nullptr ? static_cast<quint32>(entry->size & 0xFFFFFFFFu) : 0;
}

bool ListingFinder::IsDirectory() const {
    const RemoteEntry* entry = Current();
    return entry != nullptr && entry->isDirectory;
}

void ListingFinder::Close() {
    matches_.clear();
    index_ = 0;
    directoryPrefix_.clear();
}
