#include "transfer/RemoteCategoryDirectory.h"

#include "controller/ControllerSession.h"
#include "transfer/EnsureRemoteDirectory.h"
#include "widgets/WaitCursor.h"

using namespace Qt::StringLiterals;

bool RemoteCategoryDirectory::MayBeCreated(const QString& path) {
    return path.contains(u"/rfa"_s);
}

bool RemoteCategoryDirectory::Enter(ControllerSession& session, const QString& path) {
    const WaitCursor waitCursor;  // each level may wait on the controller
    if (session.SetRemoteDirectory(path)) {
        return true;
    }
    // The walk's way back does not matter here: the session goes on in path.
    return MayBeCreated(path) &&
           EnsureRemoteDirectory(session, path) != RemoteDirectoryWalk::NotMade &&
           session.SetRemoteDirectory(path);
}
