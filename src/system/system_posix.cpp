// The system on Linux (and other POSIX systems): paths are bytes.
#include <dirent.h>
#include <dlfcn.h>
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

#include "system/made_up.h"
#include "system/system.h"

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

// The same for a name in a folder: a plain file by its kind, yet one the kernel makes up (a link
// to /proc or /sys).
bool MadeUpByTheSystem(const std::string& folder, const std::string& name) {
#ifdef __linux__
    std::string path = folder;
    path.append("/").append(name);
    struct statfs system {};
    return ::statfs(path.c_str(), &system) != 0 ||
           MadeUpFileSystem(static_cast<unsigned long>(system.f_type));
#else
    (void)folder;
    (void)name;
    return false;
#endif
}

// Where a link leads, or nothing.
std::optional<std::string> Resolved(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string real(resolved);
    std::free(resolved);
    return real;
}

#ifdef __linux__
// The path /proc/self/exe leads to; empty when it cannot be read.
std::string ExecutablePath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}
#else
std::string ExecutablePath() {
    return {};
}
#endif

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

    std::optional<std::string> realPath(const std::string& path) const override { return Resolved(path); }
};

}  // namespace

const FileOpener& DiskFiles() {
    static const DiskFileOpener files;
    return files;
}

std::string GenericPath(std::string path) {
    return path;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

char PathSeparator() {
    return '/';
}

bool NamesAreBytes() {
    return true;
}

std::filesystem::path FileSystemPath(const std::string& path) {
    return {path};
}

std::vector<std::string> ListFiles(const std::string& folder,
                                   const std::function<bool(const std::string&)>& wanted) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name(entry->d_name);
        if (name.front() == '.' || !wanted(name)) continue;  // dot files are hidden
        // Follows links: a link to a file counts, a broken or looping one does not.
        struct stat status {};
        if (::fstatat(dirFd, entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode)) continue;
        if (MadeUpByTheSystem(folder, name)) continue;
        names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::string ProgramFolder() {
    const std::string program = ExecutablePath();
    const std::size_t slash = program.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : program.substr(0, slash);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

std::string LoadedFrom(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    return Resolved(info.dli_fname).value_or(std::string());
}

void* LibrarySymbol(const std::string& folder, const char* name, const char* symbol) {
    // By the folder's exact bytes. Never unloaded: what it makes lives as long as the program.
    std::string file = folder;
    file.append("/lib").append(name).append(".so");
    void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    return library != nullptr ? ::dlsym(library, symbol) : nullptr;
}

void LimitLibrarySearch() {}

}  // namespace discstart
