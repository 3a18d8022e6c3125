#pragma once

#include <QByteArray>

// How the bytes of a profile file divide between what the INI parser is given and what it must
// never see but a rewrite keeps.
//
// The platform's reader sees only the first section of a name; the parser would merge later
// sections of the same name into it. And the parser stops at the first zero byte, so a file
// damaged by zeros (as a crash can leave it) shows only what comes before them. Sections are found
// exactly as the parser finds them, so the division never differs from what it reads.
struct ProfileLayout {
    // Each section the first time its name appears, and anything before the first section.
    QByteArray parsed;
    // The later sections of a name seen before, in file order.
    QByteArray repeatedSections;
    // Everything from the first zero byte on.
    QByteArray unreadTail;

    static ProfileLayout Of(const QByteArray& file);
};
