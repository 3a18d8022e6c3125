// Renders the real main window into a PNG for the README:
//   vantrel-screenshot OUTPUT.png [login|messagesets|filetransfer|messagesetlist]
// messagesetlist: the message set page without its folder tree (which would show this machine's
// folders).
// Run it with the offscreen platform; it starts in the current directory like the program does.

#include <QApplication>
#include <QPixmap>
#include <QTextStream>
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
                               "[login|messagesets|filetransfer|messagesetlist]\n";
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
    if (page == u"messagesets"_s || page == u"messagesetlist"_s) {
        window.ShowPage(MainWindow::kMessageSetPage);
    } else if (page == u"filetransfer"_s) {
        window.ShowPage(MainWindow::kFileTransferPage);
    }
    QCoreApplication::processEvents();
    QPixmap picture = window.grab();
    const auto* setPage = window.findChild<QWidget*>(u"messageSetPage"_s);
    const auto* tree = setPage != nullptr ? setPage->findChild<QWidget*>(u"folderTree"_s) : nullptr;
    if (page == u"messagesetlist"_s && tree != nullptr) {
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
