#pragma once

#include <QString>

class ControllerSession;

// How a walk of EnsureRemoteDirectory ended.
enum class RemoteDirectoryWalk {
    Made,     // every level exists, and the session is back where it was
    NotMade,  // a level can be neither entered nor created
    NotBack,  // every level exists, but the session could not go back where it was
};

// Makes sure that every level of the remote path exists on the controller, creating the missing
// ones one level at a time, since the controller creates only one level per request.
//
// The levels are the prefixes of path before each backslash after its leading character, then the
// whole path: /rfa\cfg\def visits /rfa, /rfa\cfg and /rfa\cfg\def, and /mmu only /mmu. Each level
// is entered if it exists and created if it cannot be entered. The walk stops with NotMade at the
// first level that can be neither entered nor created. Paths go to the session unchanged: the
// controller takes the backslash as its separator. On every path the session's current remote
// directory is put back where it was (when the controller told it); a walk that cannot go back
// ends NotBack, since the session would otherwise go on in another directory. The session must
// be connected.
[[nodiscard]] RemoteDirectoryWalk EnsureRemoteDirectory(ControllerSession& session,
                                                        const QString& path);
