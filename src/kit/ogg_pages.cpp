#include "kit/ogg_pages.h"

#include "kit/finding.h"
#include "readers/byte_window.h"

namespace discstart {

namespace {

constexpr std::size_t PageHeaderSize = 27;
constexpr std::size_t PacketPeek = 64;

bool StartsWith(const std::string& bytes, const std::string& prefix) {
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::optional<OggPage> ReadOggPage(ByteFile& file, std::uint64_t offset) {
    const ByteWindow h = ByteWindow::Read(file, offset, PageHeaderSize);
    if (!h.holds(offset, PageHeaderSize) || h.textAt(offset, 4) != "OggS") return std::nullopt;
    OggPage page;
    page.offset = offset;
    page.headerType = h.byteAt(offset + 5);
    page.serial = h.uint32At(offset + 14);
    const std::size_t segments = h.byteAt(offset + 26);
    page.lacing = file.read(offset + PageHeaderSize, segments);
    if (page.lacing.size() != segments) return std::nullopt;
    page.bodyOffset = offset + PageHeaderSize + segments;
    for (auto value : page.lacing) page.bodySize += value;
    auto peek = file.read(page.bodyOffset, std::min<std::uint64_t>(page.bodySize, PacketPeek));
    page.firstBytes.assign(peek.begin(), peek.end());
    page.complete = page.bodySize == 0 || file.read(page.next() - 1, 1).size() == 1;
    return page;
}

bool IsOgmVideoHeader(const std::string& firstBytes) {
    return StartsWith(firstBytes, std::string("\x01video\0\0\0", 9));
}

bool IsVorbisIdentification(const std::string& firstBytes) {
    return StartsWith(firstBytes, "\x01vorbis");
}

std::string DescribeOggPacket(const std::string& firstBytes) {
    if (IsOgmVideoHeader(firstBytes))
        return "an OGM video header (" + PrintableCode(firstBytes.substr(9, 4)) + ")";
    if (IsVorbisIdentification(firstBytes)) return "a Vorbis identification header";
    if (StartsWith(firstBytes, "\x03vorbis")) return "a Vorbis comment header";
    if (StartsWith(firstBytes, "\x05vorbis")) return "a Vorbis setup header";
    if (StartsWith(firstBytes, "\x80theora")) return "a Theora header";
    if (StartsWith(firstBytes, "OpusHead")) return "an Opus header";
    if (StartsWith(firstBytes,
                   "\x7f"
                   "FLAC"))
        return "a FLAC header";
    if (StartsWith(firstBytes,
                   "\x01"
                   "audio"))
        return "an OGM audio header";
    if (StartsWith(firstBytes, "\x01text")) return "an OGM text header";
    if (firstBytes.empty()) return "an empty packet";
    return "an unknown packet (" + PrintableCode(firstBytes.substr(0, 8)) + ")";
}

}  // namespace discstart
