#include "media/riff/info_tags.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "bytes/byte_window.h"

namespace discstart {

namespace DivX {

namespace {

constexpr std::uint64_t FirstListStart = 319;  // where "INFO" may start, first and last
constexpr std::uint64_t LastListStart = 8999;
constexpr std::int32_t MaxListSize = 256;
// The one read covers the size before the earliest "INFO" and the content after the latest.
constexpr std::uint64_t WindowStart = FirstListStart - 4;
constexpr std::uint64_t WindowEnd = LastListStart + MaxListSize;

struct TagSlot {
    std::string_view id;
    std::string MovieTags::*field;
};

constexpr std::array<TagSlot, 7> TagSlots{{
    {"INAM", &MovieTags::title},
    {"IART", &MovieTags::author},
    {"ICOP", &MovieTags::copyright},
    {"ILNG", &MovieTags::language},
    {"ISFT", &MovieTags::software},
    {"ICMT", &MovieTags::comment},
    {"IGNR", &MovieTags::genre},
}};

// The first "INFO" starting at an offset in the search range, or nothing.
std::optional<std::uint64_t> FindInfo(const ByteWindow& window) {
    const std::string_view bytes(reinterpret_cast<const char*>(window.bytes().data()), window.size());
    const auto found = bytes.find("INFO", FirstListStart - window.base());
    if (found == std::string_view::npos || window.base() + found > LastListStart) return std::nullopt;
    return window.base() + found;
}

// A sub-chunk's text: the lowest byte of its size counts a terminating zero. An identifier
// with no usable size byte yields an empty text rather than spoiling the other tags.
std::string TagText(std::string_view content, std::string_view id) {
    const auto at = content.find(id);
    if (at == std::string_view::npos || at + 4 >= content.size()) return {};
    const int length = static_cast<std::uint8_t>(content[at + 4]) - 1;
    if (length <= 0 || at + 8 >= content.size()) return {};
    return std::string(content.substr(at + 8, static_cast<std::size_t>(length)));
}

}  // namespace

void ReadInfoTags(const std::string& path, MovieTags& tags, const FileOpener& files) {
    if (const auto file = files.open(path)) ReadInfoTags(*file, tags);
}

void ReadInfoTags(ByteFile& file, MovieTags& tags) {
    const ByteWindow window = ByteWindow::Read(file, WindowStart, WindowEnd - WindowStart);

    const auto q = FindInfo(window);
    if (!q) {
        tags = {};
        return;
    }
    const std::int32_t listSize = window.int32At(*q - 4);
    if (listSize < 1 || listSize > MaxListSize) {
        tags = {};
        return;
    }
    if (listSize < 4) return;

    // Content past the end of the file is absent, not zero.
    const std::uint64_t contentStart = *q + 4;
    const std::uint64_t contentEnd =
        std::min<std::uint64_t>(*q + static_cast<std::uint64_t>(listSize), window.end());
    if (contentEnd < contentStart + 4) return;
    const std::string_view content(
        reinterpret_cast<const char*>(window.bytes().data() + (contentStart - window.base())),
        static_cast<std::size_t>(contentEnd - contentStart));

    MovieTags found;
    for (const auto& slot : TagSlots) found.*slot.field = TagText(content, slot.id);
    tags = found;
}

}  // namespace DivX

}  // namespace discstart
