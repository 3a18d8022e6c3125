#pragma once

#include <QString>
#include <QTextStream>

// `vantrel-site log`: the record of an installation's history, newest first, one line per file
// (or per controller that failed before any file): date, engineer, controller, action, file,
// digest, result, commit; as columns, or as comma-separated values with a header line.
namespace site_log {

[[nodiscard]] bool Print(const QString& siteFolder, bool csv, QTextStream& out, QString* errorText);

}  // namespace site_log
