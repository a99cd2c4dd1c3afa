#include "media/ogg/ogg_pages.h"

#include "bytes/byte_window.h"

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

}  // namespace discstart
