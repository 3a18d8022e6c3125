#include "sitepage/ControllerActivity.h"

#include "site/History.h"
#include "site/SiteRecord.h"

using namespace Qt::StringLiterals;

bool ControllerActivity::Read(History& history, QHash<QString, ControllerActivity>* activity,
                              QString* errorText) {
    activity->clear();
    QList<History::Commit> commits;
    if (!history.Log(&commits, errorText)) {
        return false;
    }
    for (const History::Commit& commit : std::as_const(commits)) {
        for (const site_record::Record& record : site_record::Parse(commit.message)) {
            // A file that a backup found removed is part of that backup; the copy kept before a
            // push is part of the push, which is the newer commit.
            QString action = record.action;
            if (action == u"removed"_s) {
                action = u"backup"_s;
            } else if (action.startsWith(u"saved-before-"_s)) {
                continue;
            }
            ControllerActivity& known = (*activity)[record.controller.toLower()];
            if (known.lastAction.isEmpty()) {
                known.lastAction = action;
                known.lastResult = record.result;
            }
            if (action == u"backup"_s && !known.lastBackup.isValid() &&
                record.result.startsWith(u"done"_s)) {
                known.lastBackup = commit.when;
            }
        }
    }
    return true;
}
