#include "site/SitePaths.h"

#include <QStringList>

#include "transfer/CategorySettings.h"

using namespace Qt::StringLiterals;

namespace site_paths {

namespace {

constexpr std::array<const char16_t*, kFileCategoryCount> kNames = {
    u"message-set", u"configuration",         u"firmware", u"application",
    u"driver",      u"default-configuration", u"web"};

}  // namespace

QString CategoryName(FileCategory category) {
    return QString::fromUtf16(kNames[CategoryIndex(category)]);
}

std::optional<FileCategory> CategoryNamed(const QString& name) {
    for (FileCategory category : kAllFileCategories) {
        if (CategoryName(category) == name) {
            return category;
        }
    }
    return std::nullopt;
}

QString CategoryNames() {
    QStringList names;
    for (FileCategory category : kAllFileCategories) {
        names << CategoryName(category);
    }
    return names.join(u", "_s);
}

QString BackupFolder(FileCategory category) {
    const CategorySettings defaults;
    const QString folder = defaults.RemoteDirectoryFor(category);
    return category == FileCategory::Web ? folder + u'\\' + defaults.WebRootName() : folder;
}

QString ToRemote(const QString& path) {
    QStringList parts = QString(path).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(u"."_s) || parts.contains(u".."_s)) {
        return {};
    }
    return u'/' + parts.join(u'\\');
}

QString ToHistory(const QString& remotePath) {
    return QString(remotePath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts).join(u'/');
}

}  // namespace site_paths
