// The message list's model: what its rows show, renames through setData with the name rule, and
// moves and removals that keep QAbstractItemModelTester content.

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QTest>

#include "messageset/MessageSetTableModel.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestMessageSetTableModel : public QObject {
    Q_OBJECT

private slots:
    void init() {
        model_ = std::make_unique<MessageSetTableModel>();
        tester_ = std::make_unique<QAbstractItemModelTester>(
            model_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char* name : {"a", "b", "c"}) {
            model_->Append(
                {QString::fromLatin1(name), 2048, u"/w/%1.wav"_s.arg(QLatin1StringView(name))});
        }
    }

    void cleanup() {
        tester_.reset();
        model_.reset();
    }

    void rowsShowNameSizeAndPath() {
        QCOMPARE(model_->rowCount(), 3);
        QCOMPARE(model_->columnCount(), 4);
        QCOMPARE(model_->index(1, 0).data().toString(), u"b"_s);
        QCOMPARE(model_->index(1, 1).data().toString(), u"2 KB"_s);
        QCOMPARE(model_->index(1, 3).data().toString(), u"/w/b.wav"_s);
        // A name or path too wide for its column is shown in full as a tool tip.
        QCOMPARE(model_->index(1, 0).data(Qt::ToolTipRole).toString(), u"b"_s);
        QCOMPARE(model_->index(1, 3).data(Qt::ToolTipRole).toString(), u"/w/b.wav"_s);
        QCOMPARE(model_->index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        QVERIFY(model_->flags(model_->index(0, 0)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model_->flags(model_->index(0, 1)).testFlag(Qt::ItemIsEditable));
    }

    void renameFollowsTheNameRuleOnlyWhenRenamable() {
        QSignalSpy refused(model_.get(), &MessageSetTableModel::NameRefused);
        const QModelIndex first = model_->index(0, 0);
        QVERIFY(!model_->setData(first, u"x"_s));  // not renamable: dropped without a word
        QVERIFY(!model_->Set().changed);
        model_->SetRenamable(true);
        QVERIFY(!model_->setData(model_->index(0, 3), u"x"_s));
        QVERIFY(!model_->setData(first, u"seventeen_chars__"_s));
        QVERIFY(!model_->setData(first, u"a~b"_s));
        QCOMPARE(refused.size(), 2);
        QCOMPARE(model_->Set().entries.at(0).name, u"a"_s);
        QVERIFY(!model_->Set().changed);
        QVERIFY(model_->setData(first, u"sixteen_chars_ok"_s));
        QCOMPARE(first.data().toString(), u"sixteen_chars_ok"_s);
        QVERIFY(model_->Set().changed);
        QCOMPARE(refused.size(), 2);
    }

    // Values by the key of their message; a mark for what lies more than 3 LU from the median,
    // which follows every change of the values and of the rows.
    void loudnessColumnMarksWhatStandsOut() {
        constexpr int kLoudness = MessageSetTableModel::kLoudnessColumn;
        auto cell = [this](int row, int role = Qt::DisplayRole) {
            return model_->index(row, kLoudness).data(role);
        };
        auto measured = [](double integrated) {
            LoudnessResult result;
            result.measured = LoudnessMeasurement{44100 * 3, 44100, integrated, integrated, -3.0};
            return result;
        };
        QCOMPARE(cell(0).toString(), u"..."_s);
        QCOMPARE(model_->KeyOf(1), (LoudnessKey{u"/w/b.wav"_s, -1}));
        model_->SetLoudness({{model_->KeyOf(0), measured(-23.0)},
                             {model_->KeyOf(1), measured(-22.0)},
                             {model_->KeyOf(2), measured(-27.5)}});
        QCOMPARE(cell(0).toString(), u"-23.0 LUFS"_s);
        QCOMPARE(model_->Spread().median, -23.0);
        QVERIFY(cell(2, Qt::FontRole).value<QFont>().bold());
        QCOMPARE(cell(2, Qt::AccessibleDescriptionRole).toString(),
                 u"Marked: 4.5 LU quieter than the set's median (-23.0 LUFS)"_s);
        QVERIFY(!cell(1, Qt::ForegroundRole).isValid());
        QCOMPARE(cell(2, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);

        // A second message of the same file shares its value; the median follows the rows.
        model_->Append({u"b2"_s, 2048, u"/w/b.wav"_s});
        QCOMPARE(cell(3).toString(), u"-22.0 LUFS"_s);
        QCOMPARE(model_->Spread().median, -22.5);
        QVERIFY(cell(2, Qt::ForegroundRole).isValid());
        model_->Remove(2);
        QCOMPARE(model_->Spread().median, -22.0);
        QVERIFY(!cell(0, Qt::FontRole).isValid());

        LoudnessResult unreadable;
        unreadable.error = u"gone"_s;
        model_->SetLoudness({{model_->KeyOf(0), unreadable}});
        QCOMPARE(cell(0).toString(), u"unreadable"_s);
        QCOMPARE(cell(0, Qt::ToolTipRole).toString(), u"Could not be measured: gone"_s);

        // A set shown from its set file: the row is the message's place in the file.
        model_->SetEntriesInSetFile(true);
        QCOMPARE(model_->KeyOf(1), (LoudnessKey{u"/w/b.wav"_s, 1}));
        QCOMPARE(cell(1).toString(), u"..."_s);
        model_->ClearLoudness();
        QVERIFY(model_->Spread().IsEmpty());
    }

    void movesAndRemovals() {
        auto names = [this] {
            QStringList list;
            for (const MessageEntry& entry : model_->Set().entries) {
                list << entry.name;
            }
            return list;
        };
        model_->Move(0, 1);
        QCOMPARE(names(), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
        model_->Move(2, 1);
        QCOMPARE(names(), (QStringList{u"b"_s, u"c"_s, u"a"_s}));
        model_->Remove(1);
        QCOMPARE(names(), (QStringList{u"b"_s, u"a"_s}));
        model_->Reload([](MessageSetModel& set) { set.entries.append({u"z"_s, 0, u"/z.wav"_s}); });
        QCOMPARE(names(), (QStringList{u"b"_s, u"a"_s, u"z"_s}));
        model_->Clear();
        QCOMPARE(model_->rowCount(), 0);
    }

private:
    std::unique_ptr<MessageSetTableModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

VANTREL_TEST_GUILESS_MAIN(TestMessageSetTableModel)
#include "test_message_set_table_model.moc"
