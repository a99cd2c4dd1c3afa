#include <gtest/gtest.h>

#include <QApplication>

#include "page_view.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Test discovery runs at build time without the test environment and needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    PreparePageEngines();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
