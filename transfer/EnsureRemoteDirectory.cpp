#include "transfer/EnsureRemoteDirectory.h"

#include "controller/ControllerSession.h"

namespace {

bool EnterOrCreate(ControllerSession& session, const QString& level) {
    return session.SetRemoteDirectory(level) || session.CreateRemoteDirectory(level);
}

}  // namespace

bool EnsureRemoteDirectory(ControllerSession& session, const QString& path) {
    const QString remembered = session.GetRemoteDirectory();

    bool result = true;
    for (qsizetype backslash = path.indexOf(u'\\', 1); backslash >= 0;
         backslash = path.indexOf(u'\\', backslash + 1)) {
        if (!EnterOrCreate(session, path.left(backslash))) {
            result = false;
            break;
        }
    }
    if (result) {
        result = EnterOrCreate(session, path);
    }

    // An empty answer means the directory could not be read; there is nothing to go back to.
    if (!remembered.isEmpty()) {
        (void)session.SetRemoteDirectory(remembered);
    }
    return result;
}
