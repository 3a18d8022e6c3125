// Renders the real main window into a PNG for the README:
//   vantrel-screenshot OUTPUT.png [login|messagesets|filetransfer|messagesetlist|loudness]
// messagesetlist: the message set page without its folder tree (which would show this machine's
// folders); loudness: the same once the Loudness column is measured (at most a minute).
// Run it with the offscreen platform; it starts in the current directory like the program does.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QWidget>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "progress/ProgressWindowFactory.h"
#include "widgets/WidgetDialogService.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "usage: vantrel-screenshot OUTPUT.png "
                               "[login|messagesets|filetransfer|messagesetlist|loudness]\n";
        return 2;
    }
    ToolApp tool(u"Vantrel"_s);
    QCoreApplication::setApplicationName(tool.ProgramName());
    tool.CaptureStartDirectory();
    WidgetDialogService dialogs(ToolApp::AppCaption());
    ProgressWindowFactory progress;
    MainWindow window(PageContext{tool, dialogs, progress});
    window.show();
    const QString page = arguments.value(2, u"login"_s);
    const bool setList = page == u"messagesetlist"_s || page == u"loudness"_s;
    if (page == u"messagesets"_s || setList) {
        window.ShowPage(MainWindow::kMessageSetPage);
    } else if (page == u"filetransfer"_s) {
        window.ShowPage(MainWindow::kFileTransferPage);
    }
    QCoreApplication::processEvents();
    if (page == u"loudness"_s) {
        // The column is measured off the GUI thread; the spread line is complete once it is.
        const auto* spread = window.findChild<QLabel*>(u"loudnessSpread"_s);
        QElapsedTimer waited;
        waited.start();
        while (spread != nullptr &&
               (spread->text().isEmpty() || spread->text().contains(u"measuring"_s)) &&
               waited.elapsed() < 60000) {
            QThread::msleep(20);
            QCoreApplication::processEvents();
        }
    }
    QPixmap picture = window.grab();
    const auto* setPage = window.findChild<QWidget*>(u"messageSetPage"_s);
    const auto* tree = setPage != nullptr ? setPage->findChild<QWidget*>(u"folderTree"_s) : nullptr;
    if (setList && tree != nullptr) {
        const QPoint treeEnd = tree->mapTo(&window, QPoint(tree->width(), 0));
        const QPoint pageEnd = setPage->mapTo(&window, QPoint(setPage->width(), setPage->height()));
        picture = window.grab(QRect(QPoint(treeEnd.x(), 0), pageEnd));
    }
    if (!picture.save(arguments.at(1))) {
        QTextStream(stderr) << "could not write " << arguments.at(1) << '\n';
        return 1;
    }
    return 0;
}
