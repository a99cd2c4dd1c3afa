// Prints the application directory's exact bytes, as the window would find it.
#include <QCoreApplication>
#include <cstdio>

#include "content/app_path.h"

using namespace discstart;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string bytes = ApplicationDirectory();
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return 0;
}
