// Runs a fuzz target's check without the fuzzer: every file in the folders (or the files) given
// on the command line, once each. The plain test suite replays the seed corpus and every input
// that ever made a target fail this way.

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int inputs = 0;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        QStringList files;
        if (QFileInfo(argument).isDir()) {
            QDirIterator it(argument, QDir::Files);  // hidden files (.gitkeep) left out
            while (it.hasNext()) {
                files << it.next();
            }
        } else {
            files << argument;
        }
        files.sort();
        for (const QString& path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   static_cast<size_t>(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs ran\n", inputs);
    return inputs > 0 ? 0 : 1;
}
