// Preloaded into discinfo by the tests: a damaged medium. pread on a file whose path holds
// FAILING_READS_PATH returns the bytes before offset FAILING_READS_AFTER, then fails with EIO.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace discstart {

namespace {

using PreadFunction = ssize_t (*)(int, void*, size_t, off_t);

bool Damaged(int fd) {
    const char* marker = std::getenv("FAILING_READS_PATH");
    if (marker == nullptr) return false;
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0) return false;
    target[length] = '\0';
    return std::strstr(target, marker) != nullptr;
}

ssize_t Read(const char* name, int fd, void* buffer, size_t count, off_t offset) {
    static const auto real = reinterpret_cast<PreadFunction>(::dlsym(RTLD_NEXT, name));
    if (!Damaged(fd)) return real(fd, buffer, count, offset);
    const char* after = std::getenv("FAILING_READS_AFTER");
    const off_t good = after != nullptr ? std::strtoll(after, nullptr, 10) : 0;
    if (offset >= good) {
        errno = EIO;
        return -1;
    }
    return real(fd, buffer, std::min<size_t>(count, size_t(good - offset)), offset);
}

}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    return Read("pread", fd, buffer, count, offset);
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    return Read("pread64", fd, buffer, count, offset);
}

}  // namespace discstart
