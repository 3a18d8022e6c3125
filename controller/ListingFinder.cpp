#include "controller/ListingFinder.h"

#include "controller/ControllerSession.h"
#include "ftp/WildcardMatch.h"

using namespace Qt::StringLiterals;

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
    for (const RemoteEntry& entry : entries) {
        if (WildcardMatch(namePattern, entry.name)) {
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
