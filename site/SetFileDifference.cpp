#include "site/SetFileDifference.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <optional>

#include "setfile/SetFileReader.h"

using namespace Qt::StringLiterals;

namespace {

std::optional<QMap<QString, qint64>> MessagesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QString error;
    const std::optional<SetFileReader::Report> report = SetFileReader::Read(file, &error);
    if (!report) {
        return std::nullopt;
    }
    QMap<QString, qint64> messages;
    for (const SetFileReader::Message& message : report->messages) {
        messages.insert(message.name, message.lengthValue ? qint64(*message.lengthValue) : -1);
    }
    return messages;
}

}  // namespace

QString SetFileDifference(const QString& oldFile, const QString& newFile) {
    const auto before = MessagesOf(oldFile);
    const auto after = MessagesOf(newFile);
    if (!before || !after) {
        return u"not readable as a message set"_s;
    }
    QStringList added;
    QStringList removed;
    QStringList changed;
    for (auto it = after->cbegin(); it != after->cend(); ++it) {
        if (!before->contains(it.key())) {
            added << it.key();
        } else if (before->value(it.key()) != it.value()) {
            changed << it.key();
        }
    }
    for (auto it = before->cbegin(); it != before->cend(); ++it) {
        if (!after->contains(it.key())) {
            removed << it.key();
        }
    }
    QStringList parts;
    if (!added.isEmpty()) {
        parts << u"messages added: "_s + added.join(u", "_s);
    }
    if (!removed.isEmpty()) {
        parts << u"messages removed: "_s + removed.join(u", "_s);
    }
    if (!changed.isEmpty()) {
        parts << u"messages changed: "_s + changed.join(u", "_s);
    }
    return parts.isEmpty() ? u"the same messages; their sound differs"_s : parts.join(u"; "_s);
}
