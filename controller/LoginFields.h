#pragma once

#include <QString>
#include <array>

// Rules for what the login page's fields hold, kept out of the page so that they can be tested
// without widgets.
class LoginFields {
public:
    // Both text fields take at most this many characters.
    static constexpr int kMaxFieldLength = 32;

    // Why the address (four octets, first first) cannot be a controller's, as a message for the
    // user; empty when it can be. 0.x.x.x means "this host" and would reach this computer's own
    // FTP server, a multicast address and the broadcast address reach no single controller.
    static QString AddressRefusal(const std::array<int, 4>& octets);

    // The user name to write back at exit. A stored name longer than the field is shown cut; as
    // long as the field still shows it so, the stored name is kept whole instead of being
    // replaced by the cut one.
    static QString UserNameToStore(const QString& stored, const QString& shown);
};
