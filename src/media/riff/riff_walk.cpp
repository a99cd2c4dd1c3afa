#include "media/riff/riff_walk.h"

#include <algorithm>

#include "bytes/byte_window.h"

namespace discstart {

std::vector<RiffChunk> ReadChunks(ByteFile& file, std::uint64_t begin, std::uint64_t end, std::size_t limit) {
    std::vector<RiffChunk> chunks;
    std::uint64_t pos = begin;
    while (chunks.size() < limit && pos < end && end - pos >= 8) {
        const ByteWindow header = ByteWindow::Read(file, pos, 12);
        if (!header.holds(pos, 8)) break;
        RiffChunk chunk;
        chunk.id = header.textAt(pos, 4);
        chunk.offset = pos;
        chunk.size = header.uint32At(pos + 4);
        if (chunk.id == "RIFF" || chunk.id == "LIST") chunk.listType = HeldText(header, pos + 8, 4);
        chunk.truncated = chunk.end() > end;
        chunks.push_back(chunk);
        if (chunk.truncated) break;
        pos = chunk.next();
    }
    return chunks;
}

std::string HeldText(const ByteWindow& bytes, std::uint64_t offset, std::size_t count) {
    return bytes.holds(offset, count) ? bytes.textAt(offset, count) : std::string();
}

std::vector<RiffChunk> ReadChildren(ByteFile& file, const RiffChunk& list, std::uint64_t fileLength) {
    if (list.size < 4) return {};
    return ReadChunks(file, list.dataOffset() + 4, std::min(list.end(), fileLength));
}

}  // namespace discstart
