#include "site/RemoteMirror.h"

#include "site/SitePaths.h"
#include "site/WorkerContext.h"

using namespace Qt::StringLiterals;

namespace remote_mirror {

namespace {

// Folders deeper than this in the web tree are not followed (a listing that loops).
constexpr int kMaxDepth = 16;

bool ListFolder(WorkerContext& context, const QString& folder, bool tree, int depth,
                const QString& cardPath, QList<RemoteFile>* files) {
    QList<RemoteEntry> entries;
    if (!context.List(folder, true, &entries)) {
        return false;
    }
    for (const RemoteEntry& entry : entries) {
        if (entry.name == u"."_s || entry.name == u".."_s || entry.name.contains(u'/') ||
            entry.name.contains(u'\\')) {
            continue;
        }
        const QString path = folder + u'\\' + entry.name;
        if (entry.isDirectory) {
            if (tree && depth < kMaxDepth &&
                !ListFolder(context, path, tree, depth + 1, cardPath, files)) {
                return false;
            }
            continue;
        }
        if (site_paths::ToRemote(path).compare(site_paths::ToRemote(cardPath),
                                               Qt::CaseInsensitive) == 0) {
            continue;  // the card's capacity, not a file
        }
        files->append({path, site_paths::ToHistory(path), static_cast<qint64>(entry.size)});
    }
    return true;
}

}  // namespace

bool ListAll(WorkerContext& context, const QString& cardPath, QList<RemoteFile>* files) {
    files->clear();
    context.SetState(u"listing"_s);
    for (FileCategory category : kAllFileCategories) {
        if (!ListFolder(context, site_paths::BackupFolder(category),
                        site_paths::MirrorsTree(category), 0, cardPath, files)) {
            return false;
        }
    }
    return true;
}

}  // namespace remote_mirror
