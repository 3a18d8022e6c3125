// The layout checker finds what it is there to find: cut texts, squeezed controls, controls that
// stick out or overlap, and column titles cut short; and stays quiet about a sound layout.

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "tests/support/TestMain.h"
#include "tools/layout-check/LayoutChecker.h"

using namespace Qt::StringLiterals;

class TestLayoutChecker : public QObject {
    Q_OBJECT

private:
    static void Settle(QWidget& window) {
        window.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
    static bool Mentions(const QStringList& problems, const QString& text) {
        return std::any_of(problems.begin(), problems.end(),
                           [&](const QString& problem) { return problem.contains(text); });
    }

private Q_SLOTS:
    void soundLayoutHasNoProblems() {
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        row->addWidget(new QLabel(u"A caption that fits"_s));
        row->addWidget(new QPushButton(u"&Connect to NC"_s));
        auto* list = new QTreeWidget;
        list->setHeaderLabels({u"File Name"_s});
        row->addWidget(list);
        Settle(window);
        window.resize(window.minimumSize());
        Settle(window);
        QCOMPARE(LayoutChecker::Check(&window), QStringList());
    }

    void findsCutSqueezedStrayAndOverlappingControls() {
        QWidget window;
        window.resize(400, 300);
        auto* label = new QLabel(u"A caption much wider than its place"_s, &window);
        label->setObjectName(u"cutLabel"_s);
        label->setGeometry(0, 0, 30, 20);
        auto* button = new QPushButton(u"Save Message Set as..."_s, &window);
        button->setObjectName(u"squeezedButton"_s);
        button->setGeometry(0, 100, 20, 10);
        auto* stray = new QLabel(u"x"_s, &window);
        stray->setObjectName(u"strayLabel"_s);
        stray->setGeometry(390, 290, 40, 40);
        auto* list = new QTreeWidget(&window);
        list->setObjectName(u"narrowList"_s);
        list->setColumnCount(2);
        list->setHeaderLabels({u"Name"_s, u"A long column title"_s});
        list->setGeometry(100, 0, 150, 80);
        list->header()->resizeSection(1, 10);
        auto* octet = new QLineEdit(u"255"_s, &window);
        octet->setObjectName(u"octet"_s);
        octet->setMaxLength(3);
        octet->setGeometry(300, 100, 12, 30);
        auto* cover = new QLabel(&window);
        cover->setObjectName(u"cover"_s);
        cover->setGeometry(0, 95, 15, 15);
        Settle(window);

        const QStringList problems = LayoutChecker::Check(&window);
        QVERIFY2(Mentions(problems, u"cutLabel: text"_s), qPrintable(problems.join(u'\n')));
        QVERIFY(Mentions(problems, u"squeezedButton: 20x10, smaller than its minimum"_s));
        QVERIFY(Mentions(problems, u"strayLabel: 40x40 at (390, 290) sticks out"_s));
        QVERIFY(Mentions(problems, u"narrowList: column \"A long column title\""_s));
        QVERIFY(Mentions(problems, u"squeezedButton overlaps cover"_s));
        QVERIFY(Mentions(problems, u"octet: field text \"255\""_s));
    }
};

VANTREL_TEST_MAIN(TestLayoutChecker)
#include "test_layout_checker.moc"
