#include "tests/qt/QtTests.h"

#include <QApplication>
#include <QTest>

using namespace velkor;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    int failed = 0;
    {
        QtMainThreadTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        DialogViewsTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        MainWindowViewTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
