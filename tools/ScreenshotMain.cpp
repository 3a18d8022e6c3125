// Renders the real main window into a PNG for the README:
//   vantrel-screenshot OUTPUT.png [login|messagesets|filetransfer|messagesetlist|loudness]
//   vantrel-screenshot OUTPUT.png site PASSWORD FILE
// messagesetlist: the message set page without its folder tree (which would show this machine's
// folders); loudness: the same once the Loudness column is measured (at most a minute). site: the
// Site page of the installation the settings file names, after FILE was pushed as a
// configuration file to all its controllers (the preview confirmed), with the record's newest
// entry selected.
// Run it with the offscreen platform; it starts in the current directory like the program does.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QTableView>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/MainWindow.h"
#include "app/ToolApp.h"
#include "progress/ProgressWindowFactory.h"
#include "sitepage/SitePage.h"
#include "sitepage/SiteViewModel.h"
#include "tools/ConfirmingDialogService.h"
#include "widgets/WidgetDialogService.h"

using namespace Qt::StringLiterals;

namespace {

// Runs the push and waits for its dry run and itself; false when it did not come to an end.
bool PushOnSitePage(MainWindow& window, const QString& password, const QString& file) {
    window.ShowPage(MainWindow::kSitePage);
    SitePage* page = window.GetSitePage();
    SiteViewModel& view = page->View();
    if (!view.IsOpen()) {
        QTextStream(stderr) << "the settings file names no installation\n";
        return false;
    }
    page->SetPasswordAsker([password](const PasswordGroup&, const QString&) {
        return std::optional<SitePage::PasswordAnswer>({password, false});
    });
    QStringList names;
    for (const SiteFile::Controller& controller : view.Site().Controllers()) {
        names << controller.name;
    }
    QEventLoop loop;
    int runs = 0;
    QObject::connect(&view, &SiteViewModel::RunFinished, &loop, [&] {
        if (++runs == 2) {
            loop.quit();
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    page->StartPush({FileCategory::Configuration, file, names});
    loop.exec();
    if (runs != 2) {
        QTextStream(stderr) << "the push did not finish\n";
        return false;
    }
    auto* record = page->findChild<QTableView*>(u"recordTable"_s);
    record->selectRow(0);
    // The line of the controller that failed, which Restore... can put back.
    auto* detail = page->findChild<QTableView*>(u"recordDetailTable"_s);
    for (int row = 0; row < view.RecordDetail().rowCount(); ++row) {
        if (view.RecordDetail().CanRestore(row)) {
            detail->selectRow(row);
            detail->scrollTo(detail->model()->index(row, 0));
        }
    }
    detail->setFocus();
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "usage: vantrel-screenshot OUTPUT.png "
                               "[login|messagesets|filetransfer|messagesetlist|loudness]\n"
                               "       vantrel-screenshot OUTPUT.png site PASSWORD FILE\n";
        return 2;
    }
    ToolApp tool(u"Vantrel"_s);
    QCoreApplication::setApplicationName(tool.ProgramName());
    tool.CaptureStartDirectory();
    const QString page = arguments.value(2, u"login"_s);
    WidgetDialogService widgetDialogs(ToolApp::AppCaption());
    ConfirmingDialogService confirming;
    DialogService& dialogs =
        page == u"site"_s ? static_cast<DialogService&>(confirming) : widgetDialogs;
    ProgressWindowFactory progress;
    MainWindow window(PageContext{tool, dialogs, progress});
    window.show();
    const bool setList = page == u"messagesetlist"_s || page == u"loudness"_s;
    if (page == u"messagesets"_s || setList) {
        window.ShowPage(MainWindow::kMessageSetPage);
    } else if (page == u"filetransfer"_s) {
        window.ShowPage(MainWindow::kFileTransferPage);
    } else if (page == u"site"_s &&
               !PushOnSitePage(window, arguments.value(3), arguments.value(4))) {
        return 1;
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
