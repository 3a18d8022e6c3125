#pragma once

#include <QStringView>

// Whether name matches pattern as the controller's directory search takes a pattern: "*" stands
// for any run of characters and "?" for one; every other character, "[" and "]" included, stands
// for itself; letter case is ignored. No regular expression: the match steps back only to the last
// "*" seen, so it takes at most (pattern length + 1) x (name length + 1) steps and any number of
// stars neither slows it down nor makes it give up.
bool WildcardMatch(QStringView pattern, QStringView name);
