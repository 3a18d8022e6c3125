#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Several test classes share one executable per folder: each registers itself under its file's
// name, and the executable runs the class named by its first argument, in an application object
// of the kind the class asked for, as QTEST_MAIN and QTEST_GUILESS_MAIN would. CTest runs each
// class as a test of its own.
namespace test_main {

enum class Application { Gui, Guiless };

struct Registration {
    QString name;
    Application application;
    std::function<std::unique_ptr<QObject>()> make;
};

// Adds a class; returns true so that it can initialise a static.
bool Register(Registration registration);

// The name of a test file without folder and extension: "test_info_file".
QString NameOfFile(const char* file);

}  // namespace test_main

#define VANTREL_TEST_REGISTER(TestClass, kind)                                               \
    namespace {                                                                              \
    const bool registered##TestClass = test_main::Register(                                  \
        {test_main::NameOfFile(__FILE__), kind, [] { return std::make_unique<TestClass>(); }}); \
    }

// In place of QTEST_MAIN and QTEST_GUILESS_MAIN.
#define VANTREL_TEST_MAIN(TestClass) VANTREL_TEST_REGISTER(TestClass, test_main::Application::Gui)
#define VANTREL_TEST_GUILESS_MAIN(TestClass) \
    VANTREL_TEST_REGISTER(TestClass, test_main::Application::Guiless)
