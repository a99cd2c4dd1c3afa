#include <gtest/gtest.h>

#include <QApplication>

#include "page/page_view.h"
#include "private_network.h"

using namespace discstart;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Test discovery runs at build time without the test environment and needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    // Before any thread: the namespace is the calling thread's, and every later one inherits it.
    EnterPrivateNetwork();
    PreparePageEngines();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
