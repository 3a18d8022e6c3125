// The folders are layers: each includes only from the folders below it, and no logic file (any
// file outside a page library) includes a widget header, so that the logic can be tested and
// reused without a window.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

// Each layer folder and the project folders its files may include, besides its own. Every
// folder above ftp/ uses base/ (which holds the progress interface), those above setfile/
// progress/ too; the pages use widgets/.
const QHash<QString, QStringList>& MayInclude() {
    static const QHash<QString, QStringList> table = {
        {u"base"_s, {}},
        {u"ftp"_s, {}},
        {u"progress"_s, {u"base"_s}},
        {u"audio"_s, {u"base"_s}},
        {u"setfile"_s, {u"audio"_s, u"base"_s}},
        {u"widgets"_s, {u"base"_s}},
        {u"controller"_s, {u"ftp"_s, u"base"_s, u"progress"_s, u"widgets"_s}},
        {u"browse"_s, {u"base"_s, u"progress"_s, u"widgets"_s}},
        {u"transfer"_s, {u"controller"_s, u"ftp"_s, u"base"_s, u"progress"_s, u"widgets"_s}},
        {u"messageset"_s,
         {u"setfile"_s, u"audio"_s, u"browse"_s, u"base"_s, u"progress"_s, u"widgets"_s}},
        {u"site"_s,
         {u"controller"_s, u"ftp"_s, u"setfile"_s, u"transfer"_s, u"base"_s, u"progress"_s}},
        {u"sitepage"_s,
         {u"site"_s, u"controller"_s, u"ftp"_s, u"setfile"_s, u"transfer"_s, u"base"_s,
          u"progress"_s, u"widgets"_s}},
    };
    return table;
}

// Folders that may be included from anywhere below the top but are not layers of code.
const QStringList kTopFolders = {u"app"_s, u"tools"_s};

QString SourceDir() {
    return qEnvironmentVariable("VANTREL_SOURCE_DIR");
}

// The project's own includes of a file: "folder/..." paths.
QStringList ProjectIncludes(const QString& text) {
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*\"([a-z_-]+)/[^\"]+\""_s,
                                            QRegularExpression::MultilineOption);
    QStringList folders;
    for (auto it = include.globalMatch(text); it.hasNext();) {
        folders << it.next().captured(1);
    }
    return folders;
}

}  // namespace

class TestLayers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(!SourceDir().isEmpty()); }

    void eachFolderIncludesOnlyTheLayersBelowIt() {
        int files = 0;
        QStringList wrong;
        const QStringList layers = MayInclude().keys();
        for (const QString& folder : layers) {
            const QStringList allowed = MayInclude().value(folder) + QStringList{folder};
            QDirIterator it(SourceDir() + u'/' + folder, {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile source(path);
                QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
                ++files;
                for (const QString& included :
                     ProjectIncludes(QString::fromUtf8(source.readAll()))) {
                    if (!allowed.contains(included)) {
                        wrong << path.mid(SourceDir().size() + 1) + u" includes "_s + included +
                                     u"/"_s;
                    }
                }
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void onlyTheTopIncludesTheApplication() {
        QStringList wrong;
        QDirIterator it(SourceDir(), {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = path.mid(SourceDir().size() + 1);
            const QString folder = relative.section(u'/', 0, 0);
            if (kTopFolders.contains(folder) || folder == u"tests"_s || folder == u"bench"_s ||
                relative.startsWith(u"build"_s)) {
                continue;
            }
            QFile source(path);
            QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
            if (ProjectIncludes(QString::fromUtf8(source.readAll())).contains(u"app"_s)) {
                wrong << relative;
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void noLogicFileIncludesAWidgetHeader() {
        // The files of the page libraries, as the build lists them; every other file of a layer
        // folder is logic.
        QFile list(QString::fromUtf8(PAGE_SOURCE_LIST));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QStringList pageFiles =
            QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(pageFiles.size() > 10);
        const QSet<QString> pages(pageFiles.begin(), pageFiles.end());
        static const QRegularExpression widgetInclude(QString::fromLatin1(
            "#\\s*include\\s*[<\"](QtWidgets/|Q(Widget|Dialog|Application|PushButton|Label|"
            "MessageBox|FileDialog|TreeWidget|ListWidget|TableWidget|LineEdit|ComboBox|ProgressBar|"
            "FileIconProvider|HBoxLayout|VBoxLayout|GridLayout|RadioButton|GroupBox|TabBar|"
            "AbstractButton|HeaderView|Style|ButtonGroup|TreeView|TableView|CheckBox)\\b)"));
        int logicFiles = 0;
        const QStringList layers = MayInclude().keys();
        for (const QString& folder : layers) {
            QDirIterator it(SourceDir() + u'/' + folder, {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (pages.contains(path) || folder == u"widgets"_s) {
                    continue;
                }
                ++logicFiles;
                QFile source(path);
                QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
                const QRegularExpressionMatch match =
                    widgetInclude.match(QString::fromUtf8(source.readAll()));
                QVERIFY2(!match.hasMatch(), qPrintable(path + u": "_s + match.captured(0)));
            }
        }
        QVERIFY(logicFiles > 60);
    }
};

VANTREL_TEST_GUILESS_MAIN(TestLayers)
#include "test_layers.moc"
