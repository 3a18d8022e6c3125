// vantrel-site: backs up every controller of an installation into a history, pushes one file to
// many with proof, restores from the history, and shows the record, from the command line.

#include <QCoreApplication>

#include "tools/vantrel-site/SiteTool.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return SiteTool().Run(QCoreApplication::arguments());
}
