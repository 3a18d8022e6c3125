// Times opening and closing a folder of 10,000 files (5,000 of them wave files) in the folder tree
// with the wave and set filter, against listing the same folder with QDir in the same run, and
// prints the ratios. Targets: opening at most 5 times the listing, closing at most the listing.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/Median.h"
#include "browse/FolderTree.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kFiles = 10000;
constexpr int kRounds = 15;

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (FolderTree::RealName(parent->child(i)) == name) {
            return parent->child(i);
        }
    }
    return nullptr;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const QString parentPath = QDir(dir.path()).canonicalPath();
    const QString folderPath = parentPath + u"/big"_s;
    QDir().mkpath(folderPath);
    for (int i = 0; i < kFiles; ++i) {
        const QString name = i % 2 == 0 ? u"Message %1.WAV"_s.arg(i) : u"note %1.txt"_s.arg(i);
        QFile file(folderPath + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write("RIFF") != 4) {
            std::fprintf(stderr, "cannot write the test files\n");
            return 1;
        }
    }

    FolderTree tree;
    tree.fileFilter = 1;
    tree.resize(400, 600);
    tree.show();
    if (!tree.SelectPath(parentPath + u'/')) {
        std::fprintf(stderr, "cannot open the test folder in the tree\n");
        return 1;
    }
    QTreeWidgetItem* folder = ChildNamed(tree.currentItem(), u"big"_s);
    if (folder == nullptr) {
        std::fprintf(stderr, "the test folder is not listed\n");
        return 1;
    }

    std::vector<double> listing, opening, closing;
    qsizetype listed = 0;
    int shown = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QFileInfoList entries = QDir(folderPath)
                                          .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                             QDir::Hidden | QDir::System,
                                                         QDir::Unsorted);
        listing.push_back(timer.nsecsElapsed() / 1e6);
        listed = entries.size();

        timer.restart();
        folder->setExpanded(true);
        QApplication::processEvents();  // the view lays the new rows out
        opening.push_back(timer.nsecsElapsed() / 1e6);
        shown = folder->childCount();

        timer.restart();
        folder->setExpanded(false);
        QApplication::processEvents();
        closing.push_back(timer.nsecsElapsed() / 1e6);
    }

    const double list = Median(listing);
    const double open = Median(opening);
    const double close = Median(closing);
    std::printf(
        "folder of %d files, %lld listed by QDir, %d items after opening in filter mode 1\n",
        kFiles, static_cast<long long>(listed), shown);
    std::printf("median of %d rounds: QDir listing %.2f ms, open %.2f ms, close %.2f ms\n", kRounds,
                list, open, close);
    std::printf("open / listing  = %.2f (target <= 5.00) %s\n", open / list,
                open <= 5 * list ? "met" : "MISSED");
    std::printf("close / listing = %.2f (target <= 1.00) %s\n", close / list,
                close <= list ? "met" : "MISSED");
    return open <= 5 * list && close <= list ? 0 : 2;
}
