#include "messageset/InfoFile.h"

#include <QFile>

#include "app/DialogService.h"
#include "app/PrivateProfile.h"
#include "messageset/MessageSetTexts.h"

using namespace Qt::StringLiterals;

namespace {

QString Section(const char16_t* name) {
    return QString::fromUtf16(name);
}

QString IndexedKey(const QString& word, int index) {
    return word + QString::number(index);
}

// The highest i of the keys "Filename<i>" (any case, i in decimal) of the "Messages" section; -1
// when there is none.
int LastFilenameIndex(const QString& infoPath) {
    int last = -1;
    const QStringList keys =
        PrivateProfile::ReadKeys(infoPath, Section(InfoFile::kMessagesSection));
    for (const QString& key : keys) {
        if (key.startsWith(u"Filename"_s, Qt::CaseInsensitive)) {
            bool ok = false;
            const int index = key.mid(8).toInt(&ok);
            if (ok && index >= 0) {
                last = qMax(last, index);
            }
        }
    }
    return last;
}

}  // namespace

InfoFile::InfoFile(DialogService& dialogs, QString programName)
    : dialogs_(dialogs), programName_(std::move(programName)) {}

QString InfoFile::PathForSetFile(const QString& setFilePath) {
    return setFilePath.chopped(qMin<qsizetype>(4, setFilePath.size())) + u".nfo"_s;
}

bool InfoFile::WriteInfoFile(const MessageSetModel& model, const QString& infoPath) {
    {
        QFile file(infoPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            dialogs_.Inform(message_set_texts::InfoFileNotWritable(infoPath));
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
        dialogs_.Inform(reason);
        return false;
    }
    return true;
}

bool InfoFile::ReadInfoFile(MessageSetModel& model, const QString& infoPath) {
    {
        QFile file(infoPath);
        if (!file.open(QIODevice::ReadOnly)) {
            dialogs_.Inform(message_set_texts::InfoFileNotReadable(infoPath));
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
    // A negative count (an edited file) reads no entry; a count beyond the last Filename<i> the
    // file holds reads no further, rather than looking up keys that are not there.
    const int count = qMin(PrivateProfile::ReadInt(infoPath, set, u"Number"_s, 0),
                           LastFilenameIndex(infoPath) + 1);
    QList<PrivateProfile::Query> keys;
    keys.reserve(2 * qMax(count, 0));
    for (int i = 0; i < count; ++i) {
        keys.append({messages, IndexedKey(u"Filename"_s, i), {}});
        keys.append({messages, IndexedKey(u"Name"_s, i), {}});
    }
    const QStringList values = PrivateProfile::ReadStrings(infoPath, keys);
    for (int i = 0; i < count; ++i) {
        const QString& path = values.at(2 * i);
        if (path.isEmpty()) {
            continue;
        }
        QFile wave(path);
        if (!wave.open(QIODevice::ReadOnly)) {
            dialogs_.Inform(message_set_texts::WaveFileMissing(path));
            continue;
        }
        const qint64 length = wave.size();
        wave.close();
        MessageEntry entry;
        entry.name = values.at(2 * i + 1);
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
