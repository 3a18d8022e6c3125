// Renders the real main window with each page, a progress window and the dialog of "Match
// loudness...", at several font sizes, and checks their layouts (LayoutChecker): the main window at
// its minimum size and at its opening size, the others as they open.
//   vantrel-layout-check [POINTS...]        (default 9 11 13)
// Run it with the offscreen platform; the scale factor comes from QT_SCALE_FACTOR, as for the
// program. Prints each problem and exits 1 when there was one.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "progress/ProgressWindow.h"
#include "progress/ProgressWindowFactory.h"
#include "tools/layout-check/LayoutChecker.h"
#include "tools/layout-check/RecordingDialogService.h"
#include "widgets/LoudnessMatchDialog.h"

using namespace Qt::StringLiterals;

namespace {

struct PageToCheck {
    int index;
    QString name;
};

const QList<PageToCheck> kPages{{MainWindow::kLoginPage, u"Login"_s},
                                {MainWindow::kMessageSetPage, u"Message Sets"_s},
                                {MainWindow::kFileTransferPage, u"File Transfer"_s},
                                {MainWindow::kSitePage, u"Site"_s}};

void Settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

int Report(QTextStream& out, const QString& context, const QStringList& problems) {
    for (const QString& problem : problems) {
        out << context << ": " << problem << '\n';
    }
    return static_cast<int>(problems.size());
}

// The main window of a fresh start in the current directory, every page at both sizes.
int CheckMainWindow(QTextStream& out, const QString& setting) {
    ToolApp tool(u"Vantrel"_s);
    tool.CaptureStartDirectory();
    RecordingDialogService dialogs;
    ProgressWindowFactory progress;
    MainWindow window(PageContext{tool, dialogs, progress});
    window.show();
    Settle();
    const QSize opening = window.size();
    out << setting << ": main window opens at " << opening.width() << 'x' << opening.height()
        << ", minimum " << window.minimumWidth() << 'x' << window.minimumHeight() << '\n';
    int problems = 0;
    for (const PageToCheck& page : kPages) {
        window.ShowPage(page.index);
        for (const auto& [sizeName, size] : {std::pair{u"minimum size"_s, window.minimumSize()},
                                             std::pair{u"opening size"_s, opening}}) {
            window.resize(size);
            Settle();
            problems += Report(out, u"%1, %2 page, %3"_s.arg(setting, page.name, sizeName),
                               LayoutChecker::Check(&window));
        }
    }

    ProgressWindow progressWindow(u"Progress"_s, &window);
    progressWindow.SetText(u"Now uploading file : announcements-lobby.set\n"_s);
    progressWindow.SetBarRange(0, 100, 1);
    progressWindow.SetBarPosition(42);
    Settle();
    problems += Report(out, u"%1, progress window"_s.arg(setting),
                       LayoutChecker::Check(progressWindow.Window()));

    // The longest texts the dialog shows: a median, a set full of messages, a long name.
    DialogService::LoudnessMatchRequest request;
    request.median = -23.1;
    request.messageCount = 1023;
    request.selectedName = u"Evacuate floor 3"_s;
    LoudnessMatchDialog matchDialog(request, &window);
    matchDialog.show();
    Settle();
    problems += Report(out, u"%1, match loudness dialog"_s.arg(setting),
                       LayoutChecker::Check(&matchDialog));
    problems += Report(out, u"%1, message"_s.arg(setting), dialogs.messages);
    return problems;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The progress window remembers its position; keep that out of the user's profile.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(u"vantrel-layout-check"_s);
    QTextStream out(stdout);

    QList<int> points;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        bool ok = false;
        const int value = argument.toInt(&ok);
        if (!ok || value <= 0) {
            QTextStream(stderr) << "usage: vantrel-layout-check [POINTS...]\n";
            return 2;
        }
        points.append(value);
    }
    if (points.isEmpty()) {
        points = {9, 11, 13};
    }

    // A fresh start folder whose settings file fills in the login fields; its long path must not
    // widen the file transfer page.
    QTemporaryDir scratch;
    const QString start = scratch.filePath(
        u"a start folder with a name longer than any list or field on the pages should be"_s);
    if (!scratch.isValid() || !QDir().mkpath(start + u"/target/mmu"_s) ||
        !QDir::setCurrent(start)) {
        QTextStream(stderr) << "no scratch folder\n";
        return 1;
    }
    QFile settings(start + u"/Vantrel.ini"_s);
    // An installation of five controllers for the Site page, with names and addresses as long as
    // an engineer would type.
    QFile site(start + u"/site/site.ini"_s);
    QByteArray siteText = "[Site]\r\nName=Regional airport, terminal 2\r\nEngineer=Jane Doe\r\n";
    for (int index = 1; index <= 5; ++index) {
        siteText += QByteArray("[terminal-2-departures-") + QByteArray::number(index) +
                    "]\r\nAddress=192.168.100." + QByteArray::number(200 + index) +
                    "\r\nPort=2121\r\nUser=engineer\r\n";
    }
    if (!QDir().mkpath(start + u"/site"_s) || !site.open(QIODevice::WriteOnly) ||
        site.write(siteText) < 0) {
        QTextStream(stderr) << "could not write the site file\n";
        return 1;
    }
    site.close();
    if (!settings.open(QIODevice::WriteOnly) ||
        settings.write("[Login]\r\nIP0=192\r\nIP1=168\r\nIP2=100\r\nIP3=255\r\n"
                       "User Name=engineer\r\n[Site]\r\nFolder=" +
                       (start + u"/site"_s).toUtf8() + "\r\n") < 0) {
        QTextStream(stderr) << "could not write the settings file\n";
        return 1;
    }
    settings.close();

    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s);
    const QFont baseFont = QApplication::font();
    int problems = 0;
    for (int point : points) {
        QFont font = baseFont;
        font.setPointSize(point);
        QApplication::setFont(font);
        problems += CheckMainWindow(out, u"%1 pt, scale %2"_s.arg(point).arg(scale));
        QDir::setCurrent(start);  // the file transfer page moves the working directory
    }
    out << (problems == 0 ? u"layouts sound"_s : u"%1 layout problems"_s.arg(problems)) << '\n';
    return problems == 0 ? 0 : 1;
}
