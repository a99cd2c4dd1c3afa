#pragma once

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

// Where the readers get their files from: the disk, memory (tests, fuzzing) or a
// counting wrapper (tests, benchmarks).
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // nullptr when the path cannot be opened or is not a regular file.
    virtual std::unique_ptr<ByteFile> open(const std::string& path) const = 0;
    // The length the file system reports, or nothing for a missing or non-regular file.
    virtual std::optional<std::int64_t> length(const std::string& path) const = 0;
};

// Regular files only, opened without blocking (a FIFO named film.avi must not hang us).
const FileOpener& DiskFiles();

class MemoryFiles : public FileOpener {
  public:
    void add(std::string path, std::vector<std::uint8_t> bytes);
    void add(std::string path, const std::string& bytes);
    std::unique_ptr<ByteFile> open(const std::string& path) const override;
    std::optional<std::int64_t> length(const std::string& path) const override;

  private:
    std::vector<std::pair<std::string, std::shared_ptr<const std::vector<std::uint8_t>>>> files_;
};

// Counts opens, read calls and bytes returned on the way to another opener, and keeps the
// first read error any of its files met.
class CountingFiles : public FileOpener {
  public:
    explicit CountingFiles(const FileOpener& inner) : inner_(inner) {}
    std::unique_ptr<ByteFile> open(const std::string& path) const override;
    std::optional<std::int64_t> length(const std::string& path) const override;

    struct Counts {
        int opens = 0;
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
