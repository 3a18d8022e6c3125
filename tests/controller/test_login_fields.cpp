// What the login page's fields may hold: addresses that are no controller's, long stored names.

#include <QTest>

#include "controller/LoginFields.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

using Octets = std::array<int, 4>;
Q_DECLARE_METATYPE(Octets)

class TestLoginFields : public QObject {
    Q_OBJECT

private slots:
    void refusesAddressesOfNoController_data() {
        QTest::addColumn<Octets>("octets");
        QTest::addColumn<QString>("kind");  // empty: accepted
        QTest::newRow("no settings")
            << Octets{0, 0, 0, 0} << u"an address of this computer, not of a controller"_s;
        QTest::newRow("this network")
            << Octets{0, 1, 2, 3} << u"an address of this computer, not of a controller"_s;
        QTest::newRow("multicast low") << Octets{224, 0, 0, 1} << u"a multicast address"_s;
        QTest::newRow("multicast high") << Octets{239, 255, 255, 250} << u"a multicast address"_s;
        QTest::newRow("broadcast") << Octets{255, 255, 255, 255} << u"the broadcast address"_s;
        QTest::newRow("controller") << Octets{192, 168, 0, 5} << QString();
        QTest::newRow("loopback") << Octets{127, 0, 0, 1} << QString();
        QTest::newRow("subnet .255") << Octets{10, 0, 1, 255} << QString();
        QTest::newRow("below multicast") << Octets{223, 1, 1, 1} << QString();
    }
    void refusesAddressesOfNoController() {
        QFETCH(Octets, octets);
        QFETCH(QString, kind);
        const QString refusal = LoginFields::AddressRefusal(octets);
        if (kind.isEmpty()) {
            QVERIFY(refusal.isEmpty());
        } else {
            QCOMPARE(refusal,
                     u"The address %1.%2.%3.%4 is %5. Please enter the address of the Network "
                     u"Controller."_s.arg(octets[0])
                         .arg(octets[1])
                         .arg(octets[2])
                         .arg(octets[3])
                         .arg(kind));
        }
    }

    void keepsALongStoredUserName() {
        const QString longName = QString(40, u'a');
        const QString shown = longName.left(LoginFields::kMaxFieldLength);
        QCOMPARE(LoginFields::UserNameToStore(longName, shown), longName);  // untouched: kept
        QCOMPARE(LoginFields::UserNameToStore(longName, u"admin"_s), u"admin"_s);  // edited
        QCOMPARE(LoginFields::UserNameToStore(longName, shown.left(31)), shown.left(31));
        QCOMPARE(LoginFields::UserNameToStore(u"admin"_s, u"root"_s), u"root"_s);
        QCOMPARE(LoginFields::UserNameToStore(u"admin"_s, QString()), QString());
    }
};

VANTREL_TEST_GUILESS_MAIN(TestLoginFields)
#include "test_login_fields.moc"
