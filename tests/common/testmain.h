#pragma once

#include "tapplication.h"

#include <QTest>

// Like QTEST_MAIN, but with the program's own application object, so that tests see its error
// report and its title.
#define QUENBRY_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
