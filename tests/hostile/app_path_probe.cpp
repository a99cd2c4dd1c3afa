// Prints the application directory's exact bytes, as the window would find it.
#include <QCoreApplication>
#include <cstdio>

#include "content/app_path.h"
#include "content/native_name.h"

using namespace discstart;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray bytes = NativePathBytes(ApplicationDirectory());
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return 0;
}
