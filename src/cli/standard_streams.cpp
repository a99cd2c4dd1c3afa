#include "cli/standard_streams.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include "cli/windows/console.h"
#endif

namespace discstart {

bool WriteStandard(StandardStream stream, const QByteArray& utf8) {
#ifdef Q_OS_WIN
    if (const auto written = WriteToConsole(stream, utf8)) return *written;
#endif
    FILE* file = stream == StandardStream::Out ? stdout : stderr;
    const auto size = std::size_t(utf8.size());
    return std::fwrite(utf8.constData(), 1, size, file) == size && std::fflush(file) == 0 &&
           !std::ferror(file);
}

}  // namespace discstart
