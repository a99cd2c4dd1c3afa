#include "bytes/byte_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace discstart {

std::vector<std::uint8_t> ByteFile::read(std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    bytes.resize(readAt(offset, bytes.data(), count));
    return bytes;
}

namespace {

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

OpenedFile FileOpener::openChecked(const std::string& path) const {
    OpenedFile opened;
    opened.file = open(path);
    opened.state = opened.file ? FileState::Plain : FileState::Missing;
    if (opened.file) opened.size = length(path).value_or(0);
    return opened;
}

std::optional<std::string> FileOpener::realPath(const std::string& path) const {
    if (!length(path)) return std::nullopt;
    return path;
}

bool FileOpener::hiddenByAttributes(const std::string&) const {
    return false;
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

// No links in memory: a file's path is its own, and a folder is there when a file is in it.
std::optional<std::string> MemoryFiles::realPath(const std::string& path) const {
    for (const auto& [name, content] : files_) {
        if (name == path || (name.size() > path.size() && name.compare(0, path.size(), path) == 0 &&
                             (name[path.size()] == '/' || (!path.empty() && path.back() == '/'))))
            return path;
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
    ++counts_->lengths;
    return inner_.length(path);
}

OpenedFile CountingFiles::openChecked(const std::string& path) const {
    ++counts_->opens;
    OpenedFile opened = inner_.openChecked(path);
    if (opened.file) opened.file = std::make_unique<CountingFile>(std::move(opened.file), counts_);
    return opened;
}

std::optional<std::string> CountingFiles::realPath(const std::string& path) const {
    return inner_.realPath(path);
}

bool CountingFiles::hiddenByAttributes(const std::string& path) const {
    return inner_.hiddenByAttributes(path);
}

}  // namespace discstart
