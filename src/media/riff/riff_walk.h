#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace discstart {

class ByteFile;
class ByteWindow;

// One chunk as it stands in the file. Sizes are the stored ones; the next chunk starts
// after the data and the pad byte that evens an odd size.
struct RiffChunk {
    std::string id;        // four raw bytes: "RIFF", "LIST", "avih", ...
    std::string listType;  // for RIFF and LIST chunks
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    bool truncated = false;  // runs past its parent or the end of the file

    std::uint64_t dataOffset() const { return offset + 8; }
    std::uint64_t end() const { return offset + 8 + size; }
    std::uint64_t next() const { return end() + (size & 1); }
    bool isList(const char* type) const { return (id == "LIST" || id == "RIFF") && listType == type; }
};

// The chunks lying one after another in [begin, end), at most `limit` of them.
std::vector<RiffChunk> ReadChunks(ByteFile& file, std::uint64_t begin, std::uint64_t end,
                                  std::size_t limit = 4096);

// The children of a RIFF or LIST chunk (after its list type), within the file.
std::vector<RiffChunk> ReadChildren(ByteFile& file, const RiffChunk& list, std::uint64_t fileLength);

// `count` raw bytes at `offset`, or empty when the window does not hold them all.
std::string HeldText(const ByteWindow& bytes, std::uint64_t offset, std::size_t count);

// The first chunk of `chunks` that `pred` accepts, or nullptr.
template <typename Pred>
const RiffChunk* FindChunk(const std::vector<RiffChunk>& chunks, Pred pred) {
    for (const auto& c : chunks)
        if (pred(c)) return &c;
    return nullptr;
}

}  // namespace discstart
