#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace discstart {

// A read-only file of bytes. readAt returns what exists: short at the end of the file,
// empty past it or on an error. It never throws. Closing happens in the destructor.
class ByteFile {
  public:
    virtual ~ByteFile() = default;
    virtual std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) = 0;
    // The first read that failed for another reason than the end of the file; a short read
    // alone cannot tell a damaged disc from a short file.
    virtual std::error_code error() const { return {}; }

    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t count);
};

// What opening a file found. Special: a folder, device, FIFO or socket, or a file the system
// makes up as it is read (Linux's /proc and /sys), whatever size it claims.
enum class FileState { Plain, Missing, Special, Unreadable };

struct OpenedFile {
    std::unique_ptr<ByteFile> file;  // only for a plain file
    FileState state = FileState::Missing;
    std::int64_t size = 0;  // as the file system reports it: a hint, never a bound for a read
    std::error_code error;  // why it could not be opened
};

// Where the readers get their files from: the disk, memory (tests, fuzzing) or a
// counting wrapper (tests, benchmarks).
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // nullptr when the path cannot be opened or is not a plain file.
    virtual std::unique_ptr<ByteFile> open(const std::string& path) const = 0;
    // The length the file system reports, or nothing for a missing or non-regular file.
    virtual std::optional<std::int64_t> length(const std::string& path) const = 0;
    // The file and what it is.
    virtual OpenedFile openChecked(const std::string& path) const;
    // Where the path leads once every link on the way is followed (a plain path, '/' between
    // names); nothing when it leads nowhere.
    virtual std::optional<std::string> realPath(const std::string& path) const;
    // Marked hidden by the file system itself (Windows' hidden and system attributes).
    virtual bool hiddenByAttributes(const std::string& path) const;
};

// The whole file into `out` (a std::string, std::vector<std::uint8_t> or QByteArray), reading
// at most `budget` + 1 bytes whatever size the file claims. False when it holds more than
// `budget` bytes or a read fails.
template <class Bytes>
bool ReadWhole(ByteFile& file, std::int64_t budget, Bytes& out) {
    out.clear();
    std::int64_t size = 0;
    using Size = decltype(out.size());
    std::int64_t chunk = std::min<std::int64_t>(budget + 1, std::int64_t{64} * 1024);
    while (true) {
        out.resize(static_cast<Size>(size) + static_cast<Size>(chunk));
        const std::size_t got = file.readAt(
            std::uint64_t(size), reinterpret_cast<std::uint8_t*>(out.data()) + size, std::size_t(chunk));
        size += std::int64_t(got);
        if (size > budget || file.error()) {
            out.clear();
            return false;
        }
        if (got < std::size_t(chunk)) break;
        chunk = std::min(size, budget + 1 - size);
    }
    out.resize(static_cast<Size>(size));
    return true;
}

class MemoryFiles : public FileOpener {
  public:
    void add(std::string path, std::vector<std::uint8_t> bytes);
    void add(std::string path, const std::string& bytes);
    std::unique_ptr<ByteFile> open(const std::string& path) const override;
    std::optional<std::int64_t> length(const std::string& path) const override;
    std::optional<std::string> realPath(const std::string& path) const override;

  private:
    std::vector<std::pair<std::string, std::shared_ptr<const std::vector<std::uint8_t>>>> files_;
};

// Counts opens, length queries, read calls and bytes returned on the way to another opener, and keeps the
// first read error any of its files met.
class CountingFiles : public FileOpener {
  public:
    explicit CountingFiles(const FileOpener& inner) : inner_(inner) {}
    std::unique_ptr<ByteFile> open(const std::string& path) const override;
    std::optional<std::int64_t> length(const std::string& path) const override;
    OpenedFile openChecked(const std::string& path) const override;
    std::optional<std::string> realPath(const std::string& path) const override;
    bool hiddenByAttributes(const std::string& path) const override;

    struct Counts {
        int opens = 0;
        int lengths = 0;  // length queries: each one is a trip to the file system
        int reads = 0;
        std::uint64_t bytes = 0;
        std::error_code error;
    };
    const Counts& counts() const { return *counts_; }
    void reset() { *counts_ = {}; }

  private:
    const FileOpener& inner_;
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
};

}  // namespace discstart
