#include <gtest/gtest.h>

#include <QApplication>

#include "page/page_view.h"
#ifdef PAGE_PRIVATE_NETWORK
#include "private_network.h"
#endif

using namespace discstart;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Test discovery runs at build time without the test environment and needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
#ifdef PAGE_PRIVATE_NETWORK
    // Before any thread: the namespace is the calling thread's, and every later one inherits it.
    EnterPrivateNetwork();
#endif
    PreparePageEngines();
    // Wine hands the program no QT_QPA_PLATFORM of the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
