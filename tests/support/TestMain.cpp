#include "tests/support/TestMain.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <cstdio>
#include <vector>

#ifdef VANTREL_TEST_WIDGETS
#include <QApplication>
#endif

namespace test_main {

namespace {

std::vector<Registration>& Registry() {
    static std::vector<Registration> registry;
    return registry;
}

// As QTEST_MAIN and QTEST_GUILESS_MAIN: the application object, then the test object.
template <typename Application>
int Run(const Registration& test, int argc, char** argv) {
    Application application(argc, argv);
    if constexpr (!std::is_same_v<Application, QCoreApplication>) {
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
    }
    // The name a test executable of its own had: settings kept under the application's name
    // stay apart from those of the other tests.
    QCoreApplication::setApplicationName(test.name);
    const std::unique_ptr<QObject> object = test.make();
    return QTest::qExec(object.get(), argc, argv);
}

}  // namespace

bool Register(Registration registration) {
    Registry().push_back(std::move(registration));
    return true;
}

QString NameOfFile(const char* file) {
    return QFileInfo(QString::fromUtf8(file)).completeBaseName();
}

}  // namespace test_main

// Usage: <executable> TEST [QTest arguments...]
int main(int argc, char** argv) {
    using test_main::Registry;
    const QString name = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    for (const test_main::Registration& test : Registry()) {
        if (test.name != name) {
            continue;
        }
        // The test's arguments follow its name; QTest reads them as its own.
        std::vector<char*> arguments{argv[0]};
        arguments.insert(arguments.end(), argv + 2, argv + argc);
        int count = static_cast<int>(arguments.size());
        arguments.push_back(nullptr);
        if (test.application == test_main::Application::Guiless) {
            return test_main::Run<QCoreApplication>(test, count, arguments.data());
        }
#ifdef VANTREL_TEST_WIDGETS
        return test_main::Run<QApplication>(test, count, arguments.data());
#else
        std::fprintf(stderr, "%s needs widgets: add it without CORE\n", argv[1]);
        return 2;
#endif
    }
    std::fprintf(stderr, "Usage: %s TEST [arguments]; the tests are:\n", argv[0]);
    for (const test_main::Registration& test : Registry()) {
        std::fprintf(stderr, "  %s\n", qPrintable(test.name));
    }
    return 2;
}
