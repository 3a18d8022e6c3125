#include "setfile/SetFileExtractor.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include "setfile/InfoFile.h"
#include "setfile/MessageSetModel.h"
#include "setfile/StoredMessageSet.h"

using namespace Qt::StringLiterals;
using Outcome = SetFileExtractor::Outcome;
using Result = SetFileExtractor::Result;

namespace {

QString SafeFileName(const QString& name, int index) {
    static const QString kRefused = u"/\\:*?\"<>|"_s;
    QString safe = name;
    for (QChar& c : safe) {
        if (kRefused.contains(c) || !c.isPrint()) {
            c = u'_';
        }
    }
    // Names ending in a dot or blank, and "." and "..", do not survive on every file system.
    while (safe.endsWith(u'.') || safe.endsWith(u' ')) {
        safe.chop(1);
    }
    return safe.isEmpty() ? u"message%1"_s.arg(index) : safe;
}

}  // namespace

QStringList SetFileExtractor::WaveFileNames(const StoredMessageSet& set) {
    QStringList names;
    QSet<QString> taken;
    for (int i = 0; i < set.Messages().size(); ++i) {
        if (!set.Messages().at(i).readable) {
            names << QString();
            continue;
        }
        const QString base = SafeFileName(set.Messages().at(i).name, i);
        QString name = base + u".wav"_s;
        for (int n = 2; taken.contains(name.toLower()); ++n) {
            name = u"%1_%2.wav"_s.arg(base).arg(n);
        }
        taken.insert(name.toLower());
        names << name;
    }
    return names;
}

Result SetFileExtractor::Extract(const QString& setPath, const QString& waveFolder,
                                 const QString& infoPath, bool replaceExisting) const {
    Result result;
    result.infoPath = infoPath;
    auto fail = [&result](Outcome outcome, const QString& subject, const QString& reason) {
        result.outcome = outcome;
        result.subject = subject;
        result.reason = reason;
        return result;
    };
    QString error;
    const std::optional<StoredMessageSet> set = StoredMessageSet::Open(setPath, &error);
    if (!set) {
        return fail(Outcome::SetNotReadable, setPath, error);
    }
    result.warnings = set->Warnings();

    const QDir folder(waveFolder);
    const QStringList names = WaveFileNames(*set);
    QStringList targets;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).isEmpty()) {
            result.warnings
                << u"Message %1 (%2) lies beyond the end of the file and is left out."_s.arg(i).arg(
                       set->Messages().at(i).name);
        } else {
            targets << QDir::cleanPath(folder.absoluteFilePath(names.at(i)));
        }
    }
    if (!replaceExisting) {
        for (const QString& target : targets + QStringList{infoPath}) {
            if (QFileInfo::exists(target)) {
                result.existing << target;
            }
        }
        if (!result.existing.isEmpty()) {
            return fail(Outcome::TargetsExist, result.existing.first(), QString());
        }
    }
    if (!QDir().mkpath(waveFolder)) {
        return fail(Outcome::FolderNotCreated, waveFolder, QString());
    }

    MessageSetModel model;
    model.setName = set->SetName();
    model.setFilePath = QFileInfo(setPath).absoluteFilePath();
    for (int i = 0, t = 0; i < names.size(); ++i) {
        if (names.at(i).isEmpty()) {
            continue;
        }
        const QString& target = targets.at(t++);
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return fail(Outcome::WaveNotWritten, target, file.errorString());
        }
        if (!set->WriteWave(i, file, &error)) {
            file.cancelWriting();
            return fail(Outcome::WaveNotWritten, target, error);
        }
        const qint64 size = file.size();
        if (!file.commit()) {
            return fail(Outcome::WaveNotWritten, target, file.errorString());
        }
        result.waveFiles << target;
        model.entries.append({set->Messages().at(i).name,
                              static_cast<quint32>(qMin<qint64>(size, 0xFFFFFFFF)),
                              QDir::toNativeSeparators(target)});
    }
    InfoFile infoFile(programName_);
    if (!infoFile.WriteInfoFile(model, infoPath)) {
        return fail(Outcome::InfoFileNotWritten, infoPath, infoFile.Problems().join(u'\n'));
    }
    return result;
}
