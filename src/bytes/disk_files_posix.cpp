// The disk on Linux (and other POSIX systems): paths are bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <limits>

#ifdef __linux__
#include <sys/vfs.h>
#endif

#include "bytes/byte_file.h"
#include "bytes/made_up.h"

namespace discstart {

namespace {

class PosixFile : public ByteFile {
  public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        constexpr auto maxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
        std::size_t done = 0;
        while (done < count && offset + done <= maxOffset) {
            const std::size_t chunk = std::min<std::size_t>(count - done, 1u << 30);
            const ssize_t got = ::pread(fd_, dest + done, chunk, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && !error_) error_ = std::error_code(errno, std::generic_category());
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }
    std::error_code error() const override { return error_; }

  private:
    int fd_;
    std::error_code error_;
};

// Whether the open file lies where the kernel makes files up.
bool MadeUpByTheSystem(int fd) {
#ifdef __linux__
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0) return true;
    return MadeUpFileSystem(static_cast<unsigned long>(system.f_type));
#else
    (void)fd;
    return false;
#endif
}

FileState StateOfError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return FileState::Missing;
        case ENXIO:  // a socket, or a device without its driver
        case ENODEV:
            return FileState::Special;
        default:
            return FileState::Unreadable;
    }
}

class DiskFileOpener : public FileOpener {
  public:
    std::unique_ptr<ByteFile> open(const std::string& path) const override { return openChecked(path).file; }

    std::optional<std::int64_t> length(const std::string& path) const override {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
        return static_cast<std::int64_t>(status.st_size);
    }

    // Non-blocking, so that a FIFO or device given a film's name cannot hang the open; what the
    // file is comes from the open file itself, so a link cannot change it in between.
    OpenedFile openChecked(const std::string& path) const override {
        OpenedFile opened;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            opened.error = std::error_code(errno, std::generic_category());
            opened.state = StateOfError(errno);
            return opened;
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || MadeUpByTheSystem(fd)) {
            ::close(fd);
            opened.state = FileState::Special;
            return opened;
        }
        opened.state = FileState::Plain;
        opened.size = static_cast<std::int64_t>(status.st_size);
        opened.file = std::make_unique<PosixFile>(fd);
        return opened;
    }

    std::optional<std::string> realPath(const std::string& path) const override {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return std::nullopt;
        std::string real(resolved);
        std::free(resolved);
        return real;
    }
};

}  // namespace

const FileOpener& DiskFiles() {
    static const DiskFileOpener files;
    return files;
}

std::string GenericPath(std::string path) {
    return path;
}

}  // namespace discstart
