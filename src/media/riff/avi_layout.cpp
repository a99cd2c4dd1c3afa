#include "media/riff/avi_layout.h"

#include "bytes/byte_window.h"

namespace discstart {

namespace {

// Header chunks are small; a size beyond this is not read in full.
constexpr std::size_t MaxHeaderChunk = std::size_t{64} * 1024;

// The chunk's data, read from 0 so that fields sit at their offsets within the chunk.
ByteWindow ChunkData(ByteFile& file, const RiffChunk& chunk) {
    return ByteWindow(0, file.read(chunk.dataOffset(), std::min<std::size_t>(chunk.size, MaxHeaderChunk)),
                      false);
}

std::optional<WaveFormat> ReadWaveFormat(const ByteWindow& b) {
    if (!b.holds(0, 16)) return std::nullopt;
    WaveFormat format;
    format.formatTag = b.uint16At(0);
    format.channels = b.uint16At(2);
    format.sampleRate = b.uint32At(4);
    format.avgBytesPerSec = b.uint32At(8);
    // cbSize at 16, valid bits 18, channel mask 20, sub-format GUID at 24.
    if (format.formatTag == 0xFFFE && b.holds(24, 2)) format.subFormatTag = b.uint16At(24);
    return format;
}

StreamLayout ReadStream(ByteFile& file, const RiffChunk& list, std::uint64_t fileLength) {
    StreamLayout stream;
    stream.list = list;
    stream.chunks = ReadChildren(file, list, fileLength);
    if (auto* strh = FindChunk(stream.chunks, [](auto& c) { return c.id == "strh"; })) {
        const ByteWindow b = ChunkData(file, *strh);
        stream.type = HeldText(b, 0, 4);
        stream.handler = HeldText(b, 4, 4);
    }
    auto* strf = FindChunk(stream.chunks, [](auto& c) { return c.id == "strf"; });
    if (strf && stream.type == "auds") stream.audio = ReadWaveFormat(ChunkData(file, *strf));
    return stream;
}

void ReadHeaderList(ByteFile& file, AviLayout& layout) {
    layout.headerChunks = ReadChildren(file, *layout.headerList, layout.fileLength);
    if (auto* avih = FindChunk(layout.headerChunks, [](auto& c) { return c.id == "avih"; })) {
        const ByteWindow b = ChunkData(file, *avih);
        if (b.holds(0, 20)) layout.main = MainHeader{b.uint32At(0), b.uint32At(16)};
    }
    for (const auto& chunk : layout.headerChunks) {
        if (chunk.isList("strl")) layout.streams.push_back(ReadStream(file, chunk, layout.fileLength));
        if (chunk.isList("odml")) {
            auto inner = ReadChildren(file, chunk, layout.fileLength);
            if (auto* dmlh = FindChunk(inner, [](auto& c) { return c.id == "dmlh"; })) {
                const ByteWindow b = ChunkData(file, *dmlh);
                if (b.holds(0, 4)) layout.odmlTotalFrames = b.uint32At(0);
            }
        }
    }
}

}  // namespace

AviLayout ReadAviLayout(ByteFile& file, std::uint64_t fileLength) {
    AviLayout layout;
    layout.fileLength = fileLength;
    layout.top = ReadChunks(file, 0, fileLength, 256);
    if (layout.top.empty() || layout.top.front().id != "RIFF") return layout;
    layout.movieChunks = ReadChildren(file, layout.top.front(), fileLength);
    auto* hdrl = FindChunk(layout.movieChunks, [](auto& c) { return c.isList("hdrl"); });
    if (hdrl) {
        layout.headerList = *hdrl;
        ReadHeaderList(file, layout);
    }
    auto isInfo = [](auto& c) { return c.isList("INFO"); };
    if (auto* info = FindChunk(layout.movieChunks, isInfo)) {
        layout.infoList = *info;
    } else if (auto* inHeader = FindChunk(layout.headerChunks, isInfo)) {
        layout.infoList = *inHeader;
    }
    return layout;
}

}  // namespace discstart
