#include "messageset/InfoFile.h"

#include <QFile>
#include <limits>

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
    const bool ownFile = PrivateProfile::ReadString(infoPath, Section(kVersionSection),
                                                    u"AppName"_s, QString()) == programName_;
    const QString filePath = PrivateProfile::ReadString(infoPath, set, u"FileName"_s, QString());
    if (!filePath.isEmpty()) {
        model.setFilePath = filePath;
    }
    const QString name = PrivateProfile::ReadString(infoPath, set, u"Name"_s, QString());
    if (!name.isEmpty()) {
        model.setName = name;
    }
    // A negative count (an edited file) reads no entry.
    const int count = PrivateProfile::ReadInt(infoPath, set, u"Number"_s, 0);
    for (int i = 0; i < count; ++i) {
        const QString path =
            PrivateProfile::ReadString(infoPath, messages, IndexedKey(u"Filename"_s, i), QString());
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
        entry.name =
            PrivateProfile::ReadString(infoPath, messages, IndexedKey(u"Name"_s, i), QString());
        entry.size =
            static_cast<quint32>(qMin<qint64>(length, std::numeric_limits<quint32>::max()));
        entry.path = path;
        model.entries.append(entry);
    }
    if (!ownFile) {
        model.setFilePath.clear();
        model.setName.clear();
    }
    return ownFile;
}
