#include "TestRegistry.h"

#ifdef PINGALO_TEST_GUI
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int TestRegistry::runAll(int argc, char **argv)
{
    int failed = 0;
    for (const Factory &make : factories()) {
        const std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv) != 0;
    }
    return failed;
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    return TestRegistry::runAll(argc, argv);
}
