#include "transfer/EnsureRemoteDirectory.h"

#include "controller/ControllerSession.h"

namespace {

bool EnterOrCreate(ControllerSession& session, const QString& level) {
    return session.SetRemoteDirectory(level) || session.CreateRemoteDirectory(level);
}

}  // namespace

RemoteDirectoryWalk EnsureRemoteDirectory(ControllerSession& session, const QString& path) {
    const QString remembered = session.GetRemoteDirectory();

    bool made = true;
    for (qsizetype backslash = path.indexOf(u'\\', 1); backslash >= 0;
         backslash = path.indexOf(u'\\', backslash + 1)) {
        if (!EnterOrCreate(session, path.left(backslash))) {
            made = false;
            break;
        }
    }
    if (made) {
        made = EnterOrCreate(session, path);
    }

    // An empty answer means the directory could not be read; there is nothing to go back to.
    const bool back = remembered.isEmpty() || session.SetRemoteDirectory(remembered);
    if (!made) {
        return RemoteDirectoryWalk::NotMade;
    }
    return back ? RemoteDirectoryWalk::Made : RemoteDirectoryWalk::NotBack;
}
