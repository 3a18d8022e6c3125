#pragma once

#include <QString>

class ControllerSession;

// Makes sure that every level of the remote path exists on the controller, creating the missing
// ones one level at a time, since the controller creates only one level per request.
//
// The levels are the prefixes of path before each backslash after its leading character, then the
// whole path: /rfa\cfg\def visits /rfa, /rfa\cfg and /rfa\cfg\def, and /mmu only /mmu. Each level
// is entered if it exists and created if it cannot be entered. The walk stops with false at the
// first level that can be neither entered nor created; otherwise the outcome of the last level is
// the result. Paths go to the session unchanged: the controller takes the backslash as its
// separator. On every path the session's current remote directory is put back where it was. The
// session must be connected.
[[nodiscard]] bool EnsureRemoteDirectory(ControllerSession& session, const QString& path);
