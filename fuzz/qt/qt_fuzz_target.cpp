// A libFuzzer entry point for a check of the window's Qt parts; the build names the check.
#include <QGuiApplication>

#include "qt_checks.h"

namespace discstart {

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Pages are laid out with real fonts, off screen; fonts and plugins live as long as the run.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AbortOnProblems(DISCSTART_FUZZ_CHECK(FileBytes(data, size)), DISCSTART_FUZZ_TARGET);
    return 0;
}

}  // namespace discstart
