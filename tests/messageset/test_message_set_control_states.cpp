// Which buttons of the message set page are enabled, for every combination of what is selected,
// whether the set has messages, and the mode.

#include <QTest>

#include "messageset/MessageSetControlStates.h"
#include "tests/support/TestMain.h"

class TestMessageSetControlStates : public QObject {
    Q_OBJECT

private slots:
    void enablingTable_data();
    void enablingTable();
    void extractImportAndMatch();
};

void TestMessageSetControlStates::enablingTable_data() {
    QTest::addColumn<bool>("listSelected");
    QTest::addColumn<bool>("treeWave");
    QTest::addColumn<bool>("hasEntries");
    QTest::addColumn<int>("mode");
    for (int mode : {0, 1, 2}) {
        for (int bits = 0; bits < 8; ++bits) {
            QTest::addRow("mode %d list %d wave %d entries %d", mode, bits & 1, (bits >> 1) & 1,
                          (bits >> 2) & 1)
                << bool(bits & 1) << bool(bits & 2) << bool(bits & 4) << mode;
        }
    }
}

void TestMessageSetControlStates::enablingTable() {
    QFETCH(bool, listSelected);
    QFETCH(bool, treeWave);
    QFETCH(bool, hasEntries);
    QFETCH(int, mode);
    const auto states = MessageSetControlStates::For(listSelected, treeWave, hasEntries, mode);
    const bool editable = mode != MessageSetControlStates::kView;
    QCOMPARE(states.play, treeWave || listSelected);
    QCOMPARE(states.add, treeWave && editable);
    QCOMPARE(states.remove, listSelected && editable);
    QCOMPARE(states.order, listSelected && editable);
    QCOMPARE(states.clear, hasEntries && editable);
    QCOMPARE(states.save, hasEntries && editable);
}

// Extract takes a set file selected in View mode; Import audio adds, so it needs an editable set;
// Match loudness changes messages, so it needs an editable set with messages.
void TestMessageSetControlStates::extractImportAndMatch() {
    for (int mode : {0, 1, 2}) {
        for (bool treeSet : {false, true}) {
            for (bool hasEntries : {false, true}) {
                const auto states =
                    MessageSetControlStates::For(false, false, hasEntries, mode, treeSet);
                const bool editable = mode != MessageSetControlStates::kView;
                QCOMPARE(states.extract, treeSet && !editable);
                QCOMPARE(states.importAudio, editable);
                QCOMPARE(states.matchLoudness, hasEntries && editable);
            }
        }
    }
}

VANTREL_TEST_GUILESS_MAIN(TestMessageSetControlStates)
#include "test_message_set_control_states.moc"
