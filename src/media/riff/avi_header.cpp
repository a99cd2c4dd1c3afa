#include "media/riff/avi_header.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <optional>

#include "bytes/byte_window.h"

namespace discstart {

namespace {

// A file position computed the way the header layout adds it up: left to right in signed
// 32-bit arithmetic. Nothing when any partial sum leaves that range.
std::optional<std::int32_t> Position(std::initializer_list<std::int64_t> terms) {
    std::int64_t sum = 0;
    for (const std::int64_t term : terms) {
        sum += term;
        if (sum < std::numeric_limits<std::int32_t>::min() ||
            sum > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(sum);
}

std::optional<std::int32_t> Position(std::optional<std::int32_t> start, std::int64_t a, std::int64_t b = 0) {
    if (!start) return std::nullopt;
    return Position({*start, a, b});
}

// Reads fields in file order. A position that could not be computed, or that lies before
// the start of the file, is not sought: the field then follows the previous one.
class FieldReader {
  public:
    explicit FieldReader(ByteFile& file) : blocks_(file) {}

    std::int32_t int32(std::optional<std::int32_t> position) {
        const auto offset = seek(position, 4);
        return blocks_.at(offset, 4).int32At(offset);
    }
    std::int16_t int16(std::optional<std::int32_t> position) {
        const auto offset = seek(position, 2);
        return blocks_.at(offset, 2).int16At(offset);
    }
    std::string code(std::optional<std::int32_t> position) {
        const auto offset = seek(position, 4);
        return blocks_.at(offset, 4).textAt(offset, 4);
    }

  private:
    std::uint64_t seek(std::optional<std::int32_t> position, std::size_t length) {
        const std::uint64_t offset =
            position && *position >= 0 ? static_cast<std::uint64_t>(*position) : next_;
        next_ = offset + length;
        return offset;
    }

    BlockReader blocks_;
    std::uint64_t next_ = 0;
};

void ReadAviFields(FieldReader& fields, AviHeaderInfo& info) {
    info.riffSize = fields.int32(4);
    info.avihSize = fields.int32(28);
    info.microSecPerFrame = fields.int32(32);
    info.totalFrames = fields.int32(48);
    info.width = fields.int32(64);
    info.height = fields.int32(68);

    // The video strl list follows the main header chunk (A bytes); its strh data starts 52+A.
    info.videoListSize = fields.int32(Position({36, info.avihSize}));
    info.videoStreamDataPos = Position({52, info.avihSize}).value_or(info.videoStreamDataPos);
    info.videoCodec = fields.code(Position(info.videoStreamDataPos, 4));

    // The audio strl list follows the video list (S bytes); its strh data starts 60+A+S and
    // its strf chunk follows the strh chunk (H bytes).
    info.audioStreamDataPos =
        Position({60, info.avihSize, info.videoListSize}).value_or(info.audioStreamDataPos);
    info.audioHeaderSize = fields.int32(Position(info.audioStreamDataPos, -4));
    const std::int32_t format = info.audioStreamDataPos;
    const std::int32_t h = info.audioHeaderSize;
    info.audioFormatTag = fields.int16(Position(format, 8, h));
    info.audioChannels = fields.int16(Position(format, 10, h));
    info.audioSampleRate = fields.int32(Position(format, 12, h));
    info.audioBytesPerSec = fields.int32(Position(format, 16, h));
}

// The header list's chunks lie within its first 64 KiB in every writer's layout; an OpenDML
// film's extended header comes after the stream lists.
constexpr std::uint64_t HeaderListStart = 12;
constexpr std::size_t MaxHeaderList = std::size_t{64} * 1024;

// The first chunk `id` (a LIST of that type when `id` is "LIST") among the chunks lying in
// [begin, end) of `bytes`; its data offset, or nothing.
std::optional<std::uint64_t> FindChunk(const ByteWindow& bytes, std::uint64_t begin, std::uint64_t end,
                                       const std::string& id, const std::string& listType = {}) {
    for (std::uint64_t at = begin; at + 8 <= end && bytes.holds(at, 8);) {
        const std::uint64_t size = bytes.uint32At(at + 4);
        if (bytes.textAt(at, 4) == id && (listType.empty() || bytes.textAt(at + 8, 4) == listType)) {
            return at + 8;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// One further read, only for a file longer than its first RIFF chunk: the header list (as
// far as its first 64 KiB), to find the extended header (LIST odml, dmlh) of a film in
// several RIFF chunks.
void ReadOpenDml(ByteFile& file, FieldReader& fields, std::int64_t length, AviHeaderInfo& info) {
    const std::int64_t firstChunkEnd = std::int64_t{static_cast<std::uint32_t>(info.riffSize)} + 8;
    if (length <= firstChunkEnd) return;
    if (fields.code(HeaderListStart) != "LIST" || fields.code(HeaderListStart + 8) != "hdrl") return;
    const std::uint64_t listEnd =
        HeaderListStart + 8 + static_cast<std::uint32_t>(fields.int32(HeaderListStart + 4));
    const ByteWindow list = ByteWindow::Read(
        file, HeaderListStart,
        static_cast<std::size_t>(std::min<std::uint64_t>(listEnd - HeaderListStart, MaxHeaderList)));
    const auto odml = FindChunk(list, HeaderListStart + 12, listEnd, "LIST", "odml");
    if (!odml) return;
    const std::uint64_t odmlEnd = *odml + list.uint32At(*odml - 4);
    const auto dmlh = FindChunk(list, *odml + 4, std::min(odmlEnd, listEnd), "dmlh");
    if (!dmlh || !list.holds(*dmlh, 4)) return;
    info.openDmlLength = length;
    info.openDmlFrames = list.uint32At(*dmlh);
}

}  // namespace

MovieFileKind ReadAviHeader(const std::string& path, AviHeaderInfo& info, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return MovieFileKind::Other;
    return ReadAviHeader(*file, files.length(path), info);
}

MovieFileKind ReadAviHeader(ByteFile& file, std::optional<std::int64_t> length, AviHeaderInfo& info) {
    FieldReader fields(file);

    info.signature = fields.code(0);
    if (info.signature == "OggS" || info.signature == "OGGS") return MovieFileKind::OggMedia;
    info.signature = fields.code(8);
    if (info.signature != "AVI ") return MovieFileKind::Other;

    ReadAviFields(fields, info);
    info.openDmlLength = 0;
    info.openDmlFrames = 0;
    if (length) ReadOpenDml(file, fields, *length, info);
    return MovieFileKind::Avi;
}

}  // namespace discstart
