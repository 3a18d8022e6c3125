#include "sitepage/PasswordGroups.h"

QStringList PasswordGroup::Names() const {
    QStringList names;
    for (const SiteFile::Controller& controller : controllers) {
        names << controller.name;
    }
    return names;
}

namespace password_groups {

QList<PasswordGroup> ByUser(const QList<SiteFile::Controller>& targets) {
    QList<PasswordGroup> groups;
    for (const SiteFile::Controller& controller : targets) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const PasswordGroup& known) {
            return known.user == controller.user;
        });
        if (group == groups.end()) {
            groups << PasswordGroup{controller.user, {controller}};
        } else {
            group->controllers << controller;
        }
    }
    return groups;
}

}  // namespace password_groups
