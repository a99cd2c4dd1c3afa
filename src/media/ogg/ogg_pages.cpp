#include "media/ogg/ogg_pages.h"

#include <algorithm>

#include "bytes/byte_window.h"

namespace discstart {

namespace {

constexpr std::uint64_t PacketPeek = 64;

std::uint64_t Uint64At(const ByteWindow& bytes, std::uint64_t offset) {
    return std::uint64_t{bytes.uint32At(offset)} | std::uint64_t{bytes.uint32At(offset + 4)} << 32;
}

}  // namespace

std::optional<OggPageHeader> ParseOggPage(const ByteWindow& bytes, std::uint64_t offset) {
    if (!bytes.holds(offset, OggPageHeaderSize) || bytes.textAt(offset, 4) != "OggS") return std::nullopt;
    const std::uint64_t segments = bytes.byteAt(offset + 26);
    if (!bytes.holds(offset + OggPageHeaderSize, segments)) return std::nullopt;
    OggPageHeader page;
    page.offset = offset;
    page.version = bytes.byteAt(offset + 4);
    page.headerType = bytes.byteAt(offset + 5);
    page.granule = Uint64At(bytes, offset + 6);
    page.serial = bytes.uint32At(offset + 14);
    page.bodyOffset = offset + OggPageHeaderSize + segments;
    for (std::uint64_t i = 0; i < segments; ++i)
        page.bodySize += bytes.byteAt(offset + OggPageHeaderSize + i);
    return page;
}

std::optional<OggPage> ReadOggPage(ByteFile& file, std::uint64_t offset) {
    const ByteWindow bytes = ByteWindow::Read(file, offset, OggMaxPageHeaderSize + PacketPeek);
    const auto header = ParseOggPage(bytes, offset);
    if (!header) return std::nullopt;
    OggPage page{*header, {}, false};
    const std::uint64_t held = bytes.end() - page.bodyOffset;
    page.firstBytes = bytes.textAt(page.bodyOffset, std::min({page.bodySize, PacketPeek, held}));
    const std::uint64_t last = page.next() - 1;
    page.complete = page.bodySize == 0 || bytes.holds(last, 1) ||
                    (!bytes.covers(last, 1) && file.read(last, 1).size() == 1);
    return page;
}

bool IsOgmVideoHeader(const std::string& firstBytes) {
    return firstBytes.starts_with(std::string("\x01video\0\0\0", 9));
}

bool IsVorbisIdentification(const std::string& firstBytes) {
    return firstBytes.starts_with("\x01vorbis");
}

}  // namespace discstart
