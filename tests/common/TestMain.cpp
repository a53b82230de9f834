#include "TestRegistry.h"

#ifdef PINGALO_TEST_GUI
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    Application app(argc, argv);
    int failed = 0;
    for (const auto &make : TestRegistry::factories())
        failed += QTest::qExec(make().get(), argc, argv) != 0;
    return failed;
}
