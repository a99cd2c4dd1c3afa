#include "cli/standard_streams.h"

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>

#include "cli/windows/console.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

namespace discstart {

bool WriteStandard(StandardStream stream, const QByteArray& utf8) {
#ifdef Q_OS_WIN
    if (const auto written = WriteToConsole(stream, utf8)) return *written;
#endif
    FILE* file = stream == StandardStream::Out ? stdout : stderr;
    const auto size = std::size_t(utf8.size());
    const bool written =
        std::fwrite(utf8.constData(), 1, size, file) == size && std::fflush(file) == 0 && !std::ferror(file);
#ifdef Q_OS_WIN
    // A pipe whose reader has gone: Windows says "the pipe is being closed", which its C library
    // reports as an invalid argument.
    if (const DWORD error = ::GetLastError();
        !written && (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE))
        errno = EPIPE;
#endif
    return written;
}

void HoldClosedStdout() {
#ifndef Q_OS_WIN
    std::signal(SIGPIPE, SIG_IGN);
    if (::fcntl(STDOUT_FILENO, F_GETFD) != -1) return;
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && fd != STDOUT_FILENO) {
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
#endif
}

}  // namespace discstart
