#include "tools/vantrel-site/SiteLog.h"

#include <QStringList>

#include "site/History.h"
#include "site/SiteFile.h"
#include "site/SiteRecord.h"

using namespace Qt::StringLiterals;

namespace site_log {

namespace {

QString CsvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')) {
        return text;
    }
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

}  // namespace

bool Print(const QString& siteFolder, bool csv, QTextStream& out, QString* errorText) {
    SiteFile site(siteFolder);
    History history;
    QList<History::Commit> commits;
    if (!site.Load(errorText) || !history.Open(site.HistoryPath(), false, errorText) ||
        !history.Log(&commits, errorText)) {
        return false;
    }
    if (csv) {
        out << u"date,engineer,controller,action,file,digest,result,commit"_s << Qt::endl;
    }
    for (const History::Commit& commit : std::as_const(commits)) {
        const QString date = commit.when.toString(Qt::ISODate);
        const QString engineer = u"%1 <%2>"_s.arg(commit.author, commit.email);
        for (const site_record::Record& record : site_record::Parse(commit.message)) {
            if (csv) {
                QStringList quoted;
                for (const QString& field :
                     {date, engineer, record.controller, record.action, record.file, record.digest,
                      record.result, commit.id.left(12)}) {
                    quoted << CsvField(field);
                }
                out << quoted.join(u',') << Qt::endl;
                continue;
            }
            out << u"%1  %2  %3  %4  %5  %6  %7  %8"_s.arg(
                       date, engineer, record.controller, record.action,
                       record.file.isEmpty() ? u"-"_s : record.file,
                       record.digest.isEmpty() ? u"-"_s : record.digest.left(12), record.result,
                       commit.id.left(12))
                << Qt::endl;
        }
    }
    return true;
}

}  // namespace site_log
