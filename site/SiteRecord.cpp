#include "site/SiteRecord.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace site_record {

namespace {

const QString kPrefix = u"Record: "_s;

QString Field(QString text) {
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

}  // namespace

QString Line(const Record& record) {
    return kPrefix + QStringList{Field(record.controller), Field(record.action), Field(record.file),
                                 Field(record.digest), Field(record.result)}
                         .join(u'\t');
}

QList<Record> Parse(const QString& message) {
    QList<Record> records;
    for (const QString& line : message.split(u'\n')) {
        if (!line.startsWith(kPrefix)) {
            continue;
        }
        const QStringList fields = line.mid(kPrefix.size()).split(u'\t');
        if (fields.size() != 5) {
            continue;
        }
        records << Record{fields[0], fields[1], fields[2], fields[3], fields[4]};
    }
    return records;
}

}  // namespace site_record
