#pragma once

#include <QList>
#include <QString>

#include "site/SiteFile.h"

// The site's commands ask for passwords as the command-line tool does: once per user name, for
// all the controllers of the run that share it.
struct PasswordGroup {
    QString user;
    QList<SiteFile::Controller> controllers;

    QStringList Names() const;
};

namespace password_groups {

// The groups in the order their user names first appear among the targets.
QList<PasswordGroup> ByUser(const QList<SiteFile::Controller>& targets);

}  // namespace password_groups
