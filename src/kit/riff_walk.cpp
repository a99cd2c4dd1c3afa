#include "riff_walk.h"

#include <algorithm>

#include "le_bytes.h"

std::vector<RiffChunk> ReadChunks(ByteFile& file, std::uint64_t begin, std::uint64_t end, std::size_t limit) {
    std::vector<RiffChunk> chunks;
    std::uint64_t pos = begin;
    while (chunks.size() < limit && pos < end && end - pos >= 8) {
        auto header = ReadSome(file, pos, 12);
        LeBytes bytes(header);
        auto size = bytes.u32(4);
        if (!size) break;
        RiffChunk chunk;
        chunk.id = bytes.text(0, 4);
        chunk.offset = pos;
        chunk.size = *size;
        if (chunk.id == "RIFF" || chunk.id == "LIST") chunk.listType = bytes.text(8, 4);
        chunk.truncated = chunk.end() > end;
        chunks.push_back(chunk);
        if (chunk.truncated) break;
        pos = chunk.next();
    }
    return chunks;
}

std::vector<RiffChunk> ReadChildren(ByteFile& file, const RiffChunk& list, std::uint64_t fileLength) {
    if (list.size < 4) return {};
    return ReadChunks(file, list.dataOffset() + 4, std::min(list.end(), fileLength));
}
