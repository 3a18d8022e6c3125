#pragma once

#include <QString>

class ControllerSession;

// Entering a category's directory on the controller. The directory is entered as it is; only the
// directories below /rfa, the controller's own file area, are made when they are missing. Others
// (/mmu, the web root) belong to the controller's set-up and are never created from here.
class RemoteCategoryDirectory {
public:
    // True when path may be created level by level when it cannot be entered.
    static bool MayBeCreated(const QString& path);

    // Makes path the session's current remote directory, creating it first where MayBeCreated
    // allows; false when it could not be entered. The session must be connected.
    [[nodiscard]] static bool Enter(ControllerSession& session, const QString& path);
};
