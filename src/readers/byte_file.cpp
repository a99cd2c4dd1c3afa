#include "readers/byte_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace discstart {

std::vector<std::uint8_t> ByteFile::read(std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    bytes.resize(readAt(offset, bytes.data(), count));
    return bytes;
}

namespace {

#ifdef _WIN32

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

class StreamFile : public ByteFile {
  public:
    explicit StreamFile(const std::filesystem::path& path) : stream_(path, std::ios::binary) {}
    bool isOpen() const { return stream_.is_open(); }

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) return 0;
        stream_.clear();
        if (!stream_.seekg(static_cast<std::streamoff>(offset))) return 0;
        stream_.read(reinterpret_cast<char*>(dest), static_cast<std::streamsize>(count));
        const auto got = stream_.gcount();
        if (stream_.bad() && !error_) error_ = std::make_error_code(std::errc::io_error);
        stream_.clear();
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::error_code error() const override { return error_; }

  private:
    std::ifstream stream_;
    std::error_code error_;
};

class DiskFileOpener : public FileOpener {
  public:
    std::unique_ptr<ByteFile> open(const std::string& path) const override {
        std::error_code error;
        const auto native = NativePath(path);
        if (!std::filesystem::is_regular_file(native, error)) return nullptr;
        auto file = std::make_unique<StreamFile>(native);
        if (!file->isOpen()) return nullptr;
        return file;
    }

    std::optional<std::int64_t> length(const std::string& path) const override {
        std::error_code error;
        const auto native = NativePath(path);
        if (!std::filesystem::is_regular_file(native, error)) return std::nullopt;
        const auto size = std::filesystem::file_size(native, error);
        if (error) return std::nullopt;
        return static_cast<std::int64_t>(size);
    }
};

#else

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

class DiskFileOpener : public FileOpener {
  public:
    std::unique_ptr<ByteFile> open(const std::string& path) const override {
        // Non-blocking so that a FIFO or device given the movie's name cannot hang the open;
        // it is then refused for not being a regular file.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    std::optional<std::int64_t> length(const std::string& path) const override {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
        return static_cast<std::int64_t>(status.st_size);
    }
};

#endif

class MemoryFile : public ByteFile {
  public:
    explicit MemoryFile(std::shared_ptr<const std::vector<std::uint8_t>> bytes) : bytes_(std::move(bytes)) {}

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        if (offset >= bytes_->size()) return 0;
        const std::size_t start = static_cast<std::size_t>(offset);
        const std::size_t got = std::min(count, bytes_->size() - start);
        if (got > 0) std::memcpy(dest, bytes_->data() + start, got);
        return got;
    }

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
};

class CountingFile : public ByteFile {
  public:
    CountingFile(std::unique_ptr<ByteFile> inner, std::shared_ptr<CountingFiles::Counts> counts)
        : inner_(std::move(inner)), counts_(std::move(counts)) {}

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        const std::size_t got = inner_->readAt(offset, dest, count);
        ++counts_->reads;
        counts_->bytes += got;
        if (!counts_->error) counts_->error = inner_->error();
        return got;
    }
    std::error_code error() const override { return inner_->error(); }

  private:
    std::unique_ptr<ByteFile> inner_;
    std::shared_ptr<CountingFiles::Counts> counts_;
};

}  // namespace

const FileOpener& DiskFiles() {
    static const DiskFileOpener files;
    return files;
}

void MemoryFiles::add(std::string path, std::vector<std::uint8_t> bytes) {
    auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    for (auto& [name, content] : files_) {
        if (name == path) {
            content = std::move(shared);
            return;
        }
    }
    files_.emplace_back(std::move(path), std::move(shared));
}

void MemoryFiles::add(std::string path, const std::string& bytes) {
    add(std::move(path), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::unique_ptr<ByteFile> MemoryFiles::open(const std::string& path) const {
    for (const auto& [name, content] : files_) {
        if (name == path) return std::make_unique<MemoryFile>(content);
    }
    return nullptr;
}

std::optional<std::int64_t> MemoryFiles::length(const std::string& path) const {
    for (const auto& [name, content] : files_) {
        if (name == path) return static_cast<std::int64_t>(content->size());
    }
    return std::nullopt;
}

std::unique_ptr<ByteFile> CountingFiles::open(const std::string& path) const {
    ++counts_->opens;
    auto file = inner_.open(path);
    if (!file) return nullptr;
    return std::make_unique<CountingFile>(std::move(file), counts_);
}

std::optional<std::int64_t> CountingFiles::length(const std::string& path) const {
    return inner_.length(path);
}

}  // namespace discstart
