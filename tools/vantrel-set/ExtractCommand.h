#pragma once

#include <QString>
#include <QStringList>

// vantrel-set extract SET FOLDER [--info INFO] [--overwrite]: writes each message of a set file as
// a wave file into FOLDER and an info file (by default beside the set) naming them. arguments are
// those after "extract"; infoProgramName is what the info file carries as "AppName". Returns the
// exit status.
int RunExtractCommand(const QStringList& arguments, const QString& infoProgramName);
