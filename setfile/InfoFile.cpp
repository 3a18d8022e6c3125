#include "setfile/InfoFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "base/PrivateProfile.h"
#include "base/RegularFile.h"
#include "setfile/MessageSetTexts.h"

using namespace Qt::StringLiterals;

namespace {

QString Section(const char16_t* name) {
    return QString::fromUtf16(name);
}

QString IndexedKey(const QString& word, int index) {
    return word + QString::number(index);
}

// The indexes i below count of the keys "Filename<i>" (any case, i in decimal as "%d" writes it)
// that the "Messages" section holds, ascending and each once: the only indexes that can give an
// entry, so the work is bounded by the file and not by the count it states.
QList<int> ListedIndexes(const QString& infoPath, int count) {
    QList<int> indexes;
    const QStringList keys =
        PrivateProfile::ReadKeys(infoPath, Section(InfoFile::kMessagesSection));
    for (const QString& key : keys) {
        if (!key.startsWith(u"Filename"_s, Qt::CaseInsensitive)) {
            continue;
        }
        bool ok = false;
        const QString digits = key.mid(8);
        const int index = digits.toInt(&ok);
        if (ok && index >= 0 && index < count && QString::number(index) == digits) {
            indexes.append(index);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

}  // namespace

InfoFile::InfoFile(QString programName) : programName_(std::move(programName)) {}

QString InfoFile::PathForSetFile(const QString& setFilePath) {
    return setFilePath.chopped(qMin<qsizetype>(4, setFilePath.size())) + u".nfo"_s;
}

bool InfoFile::WriteInfoFile(const MessageSetModel& model, const QString& infoPath) {
    problems_.clear();
    {
        QFile file(infoPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            problems_.append(message_set_texts::InfoFileNotWritable(infoPath));
            return false;
        }
    }
    // The values in the order they have always been written, so that the sections and keys
    // appear in that order; the file is read and replaced once for all of them.
    const QString set = Section(kSetSection);
    const QString messages = Section(kMessagesSection);
    QList<PrivateProfile::Entry> values{
        {Section(kVersionSection), u"AppName"_s, programName_},
        {set, u"FileName"_s, model.setFilePath},
        {set, u"Name"_s, model.setName},
        {set, u"Number"_s, QString::number(model.entries.size())},
    };
    for (int i = 0; i < model.entries.size(); ++i) {
        const MessageEntry& entry = model.entries.at(i);
        values.append({messages, IndexedKey(u"Filename"_s, i), entry.path});
        values.append({messages, IndexedKey(u"Name"_s, i), entry.name});
    }
    QString reason;
    if (!PrivateProfile::WriteStrings(infoPath, values, &reason)) {
        problems_.append(reason);
        return false;
    }
    return true;
}

bool InfoFile::ReadInfoFile(MessageSetModel& model, const QString& infoPath) {
    problems_.clear();
    if (const QString refusal = regular_file::Refusal(infoPath); !refusal.isEmpty()) {
        problems_.append(refusal);
        return false;
    }
    {
        QFile file(infoPath);
        if (!file.open(QIODevice::ReadOnly)) {
            problems_.append(message_set_texts::InfoFileNotReadable(infoPath));
            return false;
        }
    }
    const QString set = Section(kSetSection);
    const QString messages = Section(kMessagesSection);
    // The values are read as one read each would give them, from one parse of the file.
    const QStringList header =
        PrivateProfile::ReadStrings(infoPath, {{Section(kVersionSection), u"AppName"_s, {}},
                                               {set, u"FileName"_s, {}},
                                               {set, u"Name"_s, {}}});
    const bool ownFile = header.at(0) == programName_;
    if (!header.at(1).isEmpty()) {
        model.setFilePath = header.at(1);
    }
    if (!header.at(2).isEmpty()) {
        model.setName = header.at(2);
    }
    // A negative count (an edited file) reads no entry. Wave paths are read in full: a cut path
    // would name another file, and the next save would drop the entry.
    const QList<int> indexes =
        ListedIndexes(infoPath, PrivateProfile::ReadInt(infoPath, set, u"Number"_s, 0));
    QList<PrivateProfile::Query> keys;
    keys.reserve(2 * indexes.size());
    for (const int i : indexes) {
        keys.append({messages, IndexedKey(u"Filename"_s, i), {}, PrivateProfile::kUnlimitedBuffer});
        keys.append({messages, IndexedKey(u"Name"_s, i), {}});
    }
    const QStringList values = PrivateProfile::ReadStrings(infoPath, keys);
    for (qsizetype k = 0; k < indexes.size(); ++k) {
        const QString& path = values.at(2 * k);
        if (path.isEmpty()) {
            continue;
        }
        // Only a regular file is opened: a pipe or a device named there would block the open.
        QFile wave(path);
        if (!QFileInfo(path).isFile() || !wave.open(QIODevice::ReadOnly)) {
            problems_.append(message_set_texts::WaveFileMissing(path));
            continue;
        }
        const qint64 length = wave.size();
        wave.close();
        MessageEntry entry;
        entry.name = values.at(2 * k + 1);
        entry.size = MessageEntry::ClampSize(length);
        entry.path = path;
        model.entries.append(entry);
    }
    if (!ownFile) {
        model.setFilePath.clear();
        model.setName.clear();
    }
    return ownFile;
}
