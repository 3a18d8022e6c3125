// The remote finder's name patterns.

#include <QElapsedTimer>
#include <QTest>

#include "ftp/WildcardMatch.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestWildcardMatch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");
        QTest::newRow("star") << u"*"_s << u"card"_s << true;
        QTest::newRow("star empty") << u"*"_s << QString() << true;
        QTest::newRow("exact any case") << u"CARD"_s << u"card"_s << true;
        QTest::newRow("longer name") << u"card"_s << u"cards"_s << false;
        QTest::newRow("extension") << u"*.SET"_s << u"lobby.set"_s << true;
        QTest::newRow("extension not at end") << u"*.set"_s << u"a.set.old"_s << false;
        QTest::newRow("question mark") << u"a?c"_s << u"abc"_s << true;
        QTest::newRow("question needs one") << u"a?c"_s << u"ac"_s << false;
        QTest::newRow("brackets are text") << u"[ab]*"_s << u"[ab]x"_s << true;
        QTest::newRow("brackets no class") << u"[ab]*"_s << u"ax"_s << false;
        QTest::newRow("regex characters") << u"a.b+(c)"_s << u"a.b+(c)"_s << true;
        QTest::newRow("dot is text") << u"a.b"_s << u"axb"_s << false;
        QTest::newRow("star needs a retry") << u"*ab*ab"_s << u"xabyabab"_s << true;
        QTest::newRow("trailing stars") << u"a**"_s << u"a"_s << true;
        // More stars than a regular expression engine's backtracking takes.
        QTest::newRow("thirty stars")
            << QString(30, u'*') + u"x"_s << QString(40, u'a') + u"x"_s << true;
        QTest::newRow("thirty stars no match")
            << QString(30, u'*') + u"x"_s << QString(40, u'a') << false;
        QTest::newRow("star a pairs")
            << u"*a"_s.repeated(26) + u"b"_s << QString(60, u'a') << false;
    }
    void matches() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, match);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(WildcardMatch(pattern, name), match);
        QVERIFY(timer.elapsed() < 1000);
    }
};

VANTREL_TEST_GUILESS_MAIN(TestWildcardMatch)
#include "test_wildcard_match.moc"
