#include "controller/LoginFields.h"

using namespace Qt::StringLiterals;

QString LoginFields::AddressRefusal(const std::array<int, 4>& octets) {
    const QString address =
        u"%1.%2.%3.%4"_s.arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
    QString kind;
    if (octets[0] == 0) {
        kind = u"an address of this computer, not of a controller"_s;
    } else if (octets[0] >= 224 && octets[0] <= 239) {
        kind = u"a multicast address"_s;
    } else if (octets == std::array<int, 4>{255, 255, 255, 255}) {
        kind = u"the broadcast address"_s;
    } else {
        return {};
    }
    return u"The address %1 is %2. Please enter the address of the Network Controller."_s.arg(
        address, kind);
}

QString LoginFields::UserNameToStore(const QString& stored, const QString& shown) {
    if (stored.size() > kMaxFieldLength && shown == stored.left(kMaxFieldLength)) {
        return stored;
    }
    return shown;
}
