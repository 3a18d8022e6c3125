// The Site page in the window's thread against real simulators: a push with its dry run, the
// passwords asked once per user name and kept in the keyring when asked, the buttons while it
// runs, and the installation folder kept in the settings file.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "base/SettingsKeys.h"
#include "base/ToolState.h"
#include "controller/PasswordKeyring.h"
#include "sitepage/SitePage.h"
#include "sitepage/SiteViewModel.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/SimulatorFleet.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

namespace {

// A keyring in memory; a problem text makes it unusable.
class MemoryKeyring : public PasswordKeyring {
public:
    QString problem;
    QHash<QString, QString> kept;
    QString Problem() override { return problem; }
    std::optional<QString> Read(const QString& key) override {
        return kept.contains(key) ? std::optional<QString>(kept.value(key)) : std::nullopt;
    }
    bool Write(const QString& key, const QString& password, QString*) override {
        kept.insert(key, password);
        return true;
    }
};

QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

}  // namespace

class TestSitePage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir startDir_;
    ToolState tool_{u"Vantrel"_s};
    ScriptedDialogService dialogs_;
    FakeProgressFactory progress_;

private Q_SLOTS:
    void init() {
        tool_.SetStartDirectory(startDir_.path());
        dialogs_.Clear();
    }

    void pushWithDryRunAndKeyring() {
        ControllerSimulator::Options full;
        full.storeFullAfter = 100;
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, {}, full}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, "[System]\r\n"));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        const QString file = folder.filePath(u"system.cfg"_s);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(QByteArray(5000, 'n')) == 5000);
        out.close();

        MemoryKeyring keyring;
        QList<PasswordGroup> asked;
        QStringList problems;
        auto page = std::make_unique<SitePage>(PageContext{tool_, dialogs_, progress_}, nullptr);
        page->SetKeyring(&keyring);
        page->SetPasswordAsker([&](const PasswordGroup& group, const QString& problem) {
            asked << group;
            problems << problem;
            return std::optional<SitePage::PasswordAnswer>({fleet.At(0).Password(), true});
        });
        page->InitialisePage();
        page->show();
        auto* push = page->findChild<QPushButton*>(u"pushFileButton"_s);
        auto* cancel = page->findChild<QPushButton*>(u"cancelRunButton"_s);
        QVERIFY(!push->isEnabled());
        QVERIFY(page->OpenFolder(folder.path()));
        QCOMPARE(page->findChild<QLabel*>(u"siteNameValue"_s)->text(), u"Test site"_s);
        QCOMPARE(page->findChild<QLabel*>(u"siteEngineerValue"_s)->accessibleName(),
                 u"Engineer: Test Engineer"_s);
        QVERIFY(push->isEnabled());
        QVERIFY(!cancel->isEnabled());

        // The dry run, its preview (answered "OK": push), then the push itself.
        dialogs_.QueueAnswer(DialogService::Answer::Ok);
        SiteViewModel& view = page->View();
        QSignalSpy finished(&view, &SiteViewModel::RunFinished);
        page->StartPush({FileCategory::Configuration, file, {u"c1"_s, u"c2"_s, u"c3"_s}});
        QVERIFY(cancel->isEnabled());
        QVERIFY(!push->isEnabled());
        QVERIFY(!page->findChild<QPushButton*>(u"openSiteButton"_s)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 60000);
        QCOMPARE(asked.size(), 1);  // one user name: one question for all three
        QCOMPARE(asked.first().Names(), (QStringList{u"c1"_s, u"c2"_s, u"c3"_s}));
        QCOMPARE(problems.first(), QString());
        QCOMPARE(keyring.kept.size(), 3);
        QCOMPARE(keyring.kept.value(
                     PasswordKeyring::KeyOf(u"127.0.0.1"_s, fleet.At(1).Port(), u"service"_s)),
                 fleet.At(1).Password());
        QCOMPARE(dialogs_.Messages().size(), 1);
        const QString preview = dialogs_.Messages().first().text;
        QVERIFY2(preview.contains(u"c2: rfa/cfg/system.cfg: 10 bytes (not in the history) -> 5000 bytes"_s),
                 qPrintable(preview));
        QVERIFY(preview.endsWith(u"Push system.cfg to these controllers?"_s));
        QCOMPARE(dialogs_.Messages().first().buttons, DialogService::Buttons::OkCancel);
        QCOMPARE(ReadAll(fleet.At(0).LocalPath(u"/rfa/cfg/system.cfg"_s)), QByteArray(5000, 'n'));
        const auto& table = view.Controllers();
        QCOMPARE(Cell(table, 1, ControllerTableModel::kState), u"done"_s);
        QCOMPARE(Cell(table, 2, ControllerTableModel::kState), u"failed"_s);
        QVERIFY(page->findChild<QPlainTextEdit*>(u"runReport"_s)
                    ->toPlainText()
                    .contains(u"Recorded in the history as commit"_s));
        QVERIFY(cancel->isEnabled() == false && push->isEnabled());

        // The record's entry; Restore... only on the line of the failed push.
        auto* record = page->findChild<QTableView*>(u"recordTable"_s);
        QCOMPARE(record->model()->rowCount(), 2);
        record->selectRow(0);
        auto* detail = page->findChild<QTableView*>(u"recordDetailTable"_s);
        auto* restore = page->findChild<QPushButton*>(u"restoreButton"_s);
        detail->selectRow(0);
        QVERIFY(!restore->isEnabled());
        detail->selectRow(2);
        QVERIFY(restore->isEnabled());

        // A backup asks nothing now: the keyring has every password.
        page->BackUpAll();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 3, 60000);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(Cell(table, 0, ControllerTableModel::kState), u"done"_s);

        // The folder is kept for the next start.
        QCOMPARE(page->SaveSettings(), QString());
        QCOMPARE(settings_keys::kSiteFolder.Read(tool_.SettingsFilePath()), view.Site().Folder());
        page.reset();
        SitePage again(PageContext{tool_, dialogs_, progress_}, nullptr);
        again.InitialisePage();
        QVERIFY(again.View().IsOpen());
        QCOMPARE(again.View().Controllers().rowCount(), 3);
    }

    void withoutKeyringTheBoxSaysWhy() {
        ControllerSimulator::Options refused;
        refused.refuseLogin = true;
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({refused}), qPrintable(fleet.ErrorText()));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        MemoryKeyring keyring;
        keyring.problem = u"No keyring service runs on the session bus."_s;
        SitePage page(PageContext{tool_, dialogs_, progress_}, nullptr);
        page.SetKeyring(&keyring);
        QStringList problems;
        page.SetPasswordAsker([&](const PasswordGroup&, const QString& problem) {
            problems << problem;
            return std::optional<SitePage::PasswordAnswer>({u"wrong"_s, true});
        });
        page.InitialisePage();
        QVERIFY(page.OpenFolder(folder.path()));
        QSignalSpy finished(&page.View(), &SiteViewModel::RunFinished);
        page.BackUpAll();
        QVERIFY(finished.wait(60000));
        QCOMPARE(problems, QStringList{keyring.problem});
        QVERIFY(keyring.kept.isEmpty());
        QCOMPARE(Cell(page.View().Controllers(), 0, ControllerTableModel::kState), u"failed"_s);
        QCOMPARE(Cell(page.View().Controllers(), 0, ControllerTableModel::kResult), u"failed"_s);

        // A folder that is no installation is refused with the reason; the open one stays.
        QTemporaryDir empty;
        QVERIFY(!page.OpenFolder(empty.path()));
        QVERIFY(dialogs_.Texts().last().contains(u"is not an installation folder"_s));
        QCOMPARE(page.View().Site().Folder(), folder.path());
    }
};

VANTREL_TEST_MAIN(TestSitePage)
#include "test_site_page.moc"
