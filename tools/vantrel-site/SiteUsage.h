#pragma once

#include <QString>

// The usage texts of vantrel-site: the whole tool's, and each command's (`vantrel-site COMMAND
// --help`). Empty for an unknown command.
namespace site_usage {

QString Tool();
QString Command(const QString& command);

}  // namespace site_usage
