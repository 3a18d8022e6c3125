// The file category table: loading and saving it, the path rules, the transfer type and the
// gathering of web files.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "base/PrivateProfile.h"
#include "tests/support/TestMain.h"
#include "transfer/CategorySettings.h"

using namespace Qt::StringLiterals;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString Read(const QString& file, const QString& section, const QString& key) {
    return PrivateProfile::ReadString(file, section, key, u"<missing>"_s);
}

}  // namespace

class TestCategorySettings : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(temp_.isValid()); }

    void DefaultsAreResolvedAndWrittenBackInLowerCase() {
        const QString ini = temp_.filePath(u"none.ini"_s);
        const QString working = temp_.filePath(u"Tools/Programs/bin"_s);
        CategorySettings settings;
        settings.Load(ini, working);

        // "programs" is found without regard to case; the path before it keeps its case.
        QCOMPARE(settings.UploadDir(), temp_.filePath(u"Tools/target"_s));
        QCOMPARE(settings.WebRootName(), u"web"_s);
        QCOMPARE(settings.LocalDirectoryFor(FileCategory::DefaultConfiguration),
                 temp_.filePath(u"Tools/target/rfa/cfg/def"_s));

        QVERIFY(settings.Save(ini));
        const QStringList sections = {
            u"Message Set"_s, u"Configuration"_s,         u"Firmware"_s, u"Application"_s,
            u"Driver"_s,      u"Default Configuration"_s, u"Web"_s};
        const QStringList dirs = {u"mmu"_s,      u"rfa\\cfg"_s,      u"rfa\\fw"_s, u"boot"_s,
                                  u"rfa\\drv"_s, u"rfa\\cfg\\def"_s, u"rfa"_s};
        const QStringList extensions = {u"set"_s,
                                        u"cfg"_s,
                                        u"uim"_s,
                                        u"bim"_s,
                                        u"bit"_s,
                                        u"cfg"_s,
                                        u"asp;jar;js;htm;gif;jpg;bmp;css;svg;vbs;java"_s};
        for (int i = 0; i < sections.size(); ++i) {
            QCOMPARE(Read(ini, sections[i], u"Dir"_s), dirs[i]);
            QCOMPARE(Read(ini, sections[i], u"Extension"_s), extensions[i]);
        }
        QCOMPARE(Read(ini, u"Web"_s, u"Root Direotory"_s), u"web"_s);
        QCOMPARE(Read(ini, u"Upload"_s, u"Dir"_s), temp_.filePath(u"Tools/target"_s));
        QCOMPARE(Read(ini, u"Ftp"_s, u"Ascii"_s), u"asp;js;htm;css;svg;vbs"_s);

        // Sections appear in the order they are written; "Upload" and "Ftp" come last.
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        qsizetype previous = -1;
        for (const char* section :
             {"[Message Set]", "[Configuration]", "[Firmware]", "[Application]", "[Driver]",
              "[Default Configuration]", "[Web]", "[Upload]", "[Ftp]"}) {
            const qsizetype at = text.indexOf(section);
            QVERIFY2(at > previous, section);
            previous = at;
        }

        // After the first run the absolute upload directory is stored and used as it is.
        CategorySettings again;
        again.Load(ini, temp_.filePath(u"elsewhere/programs"_s));
        QCOMPARE(again.UploadDir(), temp_.filePath(u"Tools/target"_s));
    }

    void UploadDirectoryRule_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("working");
        QTest::addColumn<QString>("uploadDir");
        QTest::addColumn<QString>("messageSetDir");

        QTest::newRow("no programs: relative target")
            << QString() << u"/opt/Vendor/bin"_s << u"target"_s << u"/opt/Vendor/bin/target/mmu"_s;
        QTest::newRow("programs twice: cut at the first")
            << QString() << u"/a/programs/b/programs"_s << u"/a/target"_s << u"/a/target/mmu"_s;
        QTest::newRow("Target is not the default and is kept")
            << u"Target"_s << u"/a/programs/b"_s << u"Target"_s << u"/a/programs/b/Target/mmu"_s;
        QTest::newRow("absolute path kept in its case")
            << u"/Data/Upload"_s << u"/a/programs"_s << u"/Data/Upload"_s << u"/Data/Upload/mmu"_s;
    }

    void UploadDirectoryRule() {
        QFETCH(QString, stored);
        QFETCH(QString, working);
        QFETCH(QString, uploadDir);
        QFETCH(QString, messageSetDir);
        const QString ini = temp_.filePath(u"rule.ini"_s);
        QFile::remove(ini);
        if (!stored.isNull()) {
            QVERIFY(PrivateProfile::WriteString(ini, u"Upload"_s, u"Dir"_s, stored));
        }
        CategorySettings settings;
        settings.Load(ini, working);
        QCOMPARE(settings.UploadDir(), uploadDir);
        // A relative upload directory stays below the start-up working directory.
        QCOMPARE(settings.LocalDirectoryFor(FileCategory::MessageSet), messageSetDir);
        QVERIFY(settings.Save(ini));
        QCOMPARE(Read(ini, u"Upload"_s, u"Dir"_s), uploadDir);
    }

    void StoredValuesAreHeldInLowerCaseAndCut() {
        const QString ini = temp_.filePath(u"upper.ini"_s);
        QVERIFY(PrivateProfile::WriteString(ini, u"CONFIGURATION"_s, u"DIR"_s, u"RFA\\CONF"_s));
        QVERIFY(PrivateProfile::WriteString(ini, u"Web"_s, u"Root Direotory"_s, u"WWW"_s));
        QVERIFY(PrivateProfile::WriteString(ini, u"Driver"_s, u"Extension"_s, u"BIT"_s));
        QVERIFY(PrivateProfile::WriteString(ini, u"Ftp"_s, u"Ascii"_s, QString(300, u'A')));
        QVERIFY(PrivateProfile::WriteString(ini, u"Firmware"_s, u"Dir"_s, QString(300, u'F')));
        QVERIFY(PrivateProfile::WriteString(ini, u"Application"_s, u"Dir"_s, QString()));

        CategorySettings settings;
        settings.Load(ini, u"/w"_s);
        QCOMPARE(settings.RemoteDirectoryFor(FileCategory::Configuration), u"/rfa\\conf"_s);
        QCOMPARE(settings.WebRootName(), u"www"_s);
        QCOMPARE(settings.LocalListFilter(FileCategory::Driver), u".bit"_s);
        QCOMPARE(settings.AsciiExtensions(), QString(255, u'a'));
        QCOMPARE(settings.CategoryDir(FileCategory::Firmware), QString(259, u'f'));
        // An empty directory is the root on the controller and the upload directory locally.
        QCOMPARE(settings.RemoteDirectoryFor(FileCategory::Application), u"/"_s);
        QCOMPARE(settings.LocalDirectoryFor(FileCategory::Application), u"/w/target/"_s);

        QVERIFY(settings.Save(ini));
        QCOMPARE(Read(ini, u"Configuration"_s, u"Dir"_s), u"rfa\\conf"_s);
        QCOMPARE(Read(ini, u"Web"_s, u"Root Direotory"_s), u"www"_s);
        QCOMPARE(Read(ini, u"Driver"_s, u"Extension"_s), u"bit"_s);
    }

    void SaveReportsAFailedWrite() {
        const QString blocked = temp_.filePath(u"dir.ini"_s);
        QVERIFY(QDir().mkpath(blocked));  // a directory where the file should be
        CategorySettings settings;
        QString reason;
        QVERIFY(!settings.Save(blocked, &reason));
        QVERIFY(!reason.isEmpty());
    }

    void ListFilters() {
        CategorySettings settings;
        QCOMPARE(settings.LocalListFilter(FileCategory::MessageSet), u".set"_s);
        QCOMPARE(settings.LocalListFilter(FileCategory::DefaultConfiguration), u".cfg"_s);
        QCOMPARE(settings.LocalListFilter(FileCategory::Web), u"."_s);
        QCOMPARE(settings.RemoteDirectoryFor(FileCategory::DefaultConfiguration),
                 u"/rfa\\cfg\\def"_s);
    }

    void TransferTypeFor_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TransferType>("type");
        QTest::newRow("htm") << u"index.htm"_s << TransferType::Ascii;
        QTest::newRow("css") << u"style.css"_s << TransferType::Ascii;
        QTest::newRow("upper case") << u"INDEX.HTM"_s << TransferType::Binary;
        QTest::newRow("html not listed") << u"page.html"_s << TransferType::Binary;
        QTest::newRow("s inside the list") << u"a.s"_s << TransferType::Ascii;
        QTest::newRow("j inside the list") << u"b.j"_s << TransferType::Ascii;
        QTest::newRow("trailing dot") << u"name."_s << TransferType::Ascii;
        QTest::newRow("no dot") << u"readme"_s << TransferType::Binary;
        QTest::newRow("message set") << u"msgs.set"_s << TransferType::Binary;
        QTest::newRow("last dot counts") << u"a.set.js"_s << TransferType::Ascii;
        QTest::newRow("web remote path") << u"/rfa\\web\\img\\a.gif"_s << TransferType::Binary;
    }

    void TransferTypeFor() {
        QFETCH(QString, name);
        QFETCH(TransferType, type);
        QCOMPARE(CategorySettings().TransferTypeFor(name), type);
    }

    void WebFilesGroupedByExtensionThenSubdirectories() {
        const QString root = temp_.filePath(u"Web"_s);
        WriteFile(root + u"/logo.gif"_s);
        WriteFile(root + u"/index.htm"_s);
        WriteFile(root + u"/Menu.JS"_s);  // matched without regard to case, kept as it is
        WriteFile(root + u"/notes.txt"_s);
        WriteFile(root + u"/img/a.gif"_s);
        WriteFile(root + u"/img/deep/b.css"_s);
        WriteFile(root + u"/css/c.css"_s);
        QVERIFY(QDir().mkpath(root + u"/folder.htm"_s));  // a directory is not a web file
        const QString before = QDir::currentPath();

        CategorySettings settings;
        const QStringList expected = {root + u"/Menu.JS"_s,   root + u"/index.htm"_s,
                                      root + u"/logo.gif"_s,  root + u"/css/c.css"_s,
                                      root + u"/img/a.gif"_s, root + u"/img/deep/b.css"_s};
        QCOMPARE(settings.CollectWebFiles(root), expected);
        QCOMPARE(QDir::currentPath(), before);
    }

    void EmptyWebExtensionListCollectsNothing() {
        const QString root = temp_.filePath(u"web"_s);
        WriteFile(root + u"/index.htm"_s);
        const QString ini = temp_.filePath(u"empty.ini"_s);
        QVERIFY(PrivateProfile::WriteString(ini, u"Web"_s, u"Extension"_s, QString()));
        CategorySettings settings;
        settings.Load(ini, temp_.path());
        QVERIFY(settings.CollectWebFiles(root).isEmpty());
    }

    void LinkedDirectoryLoopIsWalkedOnce() {
        const QString root = temp_.filePath(u"loop/web"_s);
        WriteFile(root + u"/sub/a.gif"_s);
        QVERIFY(QFile::link(root, root + u"/sub/back"_s));
        const QStringList files = CategorySettings().CollectWebFiles(root);
        QCOMPARE(files, QStringList{root + u"/sub/a.gif"_s});
    }

    void WebRemotePathIsTakenBelowTheUploadedRoot() {
        CategorySettings settings;
        // A parent folder whose name contains the root name does not confuse the mapping.
        const QString root = u"/home/Eng/webtools/target/rfa/WEB"_s;
        QCOMPARE(settings.WebRemotePath(root, root + u"/IMG/Logo.gif"_s),
                 u"/rfa\\web\\img\\logo.gif"_s);
        QCOMPARE(settings.WebRemotePath(root, root + u"/index.htm"_s), u"/rfa\\web\\index.htm"_s);
        QCOMPARE(CategorySettings::RemoteParentOf(u"/rfa\\web\\img\\logo.gif"_s),
                 u"/rfa\\web\\img"_s);
        QCOMPARE(CategorySettings::RemoteParentOf(u"/rfa\\web\\index.htm"_s), u"/rfa\\web"_s);
    }

private:
    QTemporaryDir temp_;
};

VANTREL_TEST_GUILESS_MAIN(TestCategorySettings)
#include "test_category_settings.moc"
