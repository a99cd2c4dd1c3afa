#include "kit/info_check.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "bytes/byte_file.h"

namespace discstart {

namespace {

// The launcher looks for "INFO" starting at these offsets and takes lists up to this size.
constexpr std::uint64_t SearchFirst = 319;
constexpr std::uint64_t SearchLast = 8999;
constexpr std::uint32_t LongestList = 256;

std::optional<std::uint64_t> LauncherFinds(ByteFile& file) {
    auto window = file.read(SearchFirst, SearchLast - SearchFirst + 4);
    std::string_view text(reinterpret_cast<const char*>(window.data()), window.size());
    auto at = text.find("INFO");
    if (at == std::string_view::npos) return std::nullopt;
    return SearchFirst + at;
}

std::string Range() {
    return std::to_string(SearchFirst) + " to " + std::to_string(SearchLast);
}

const char* MoveList =
    "put the INFO list directly after the header list (remux, or retag with a tool that "
    "rewrites the file)";

}  // namespace

std::vector<Finding> CheckInfoList(const AviLayout& layout, ByteFile& file, const std::string& name) {
    auto launcher = LauncherFinds(file);
    if (!layout.infoList) {
        // A film without a list shows blank tag lines, which the tag check notes.
        if (!launcher) return {};
        return {{Severity::Warning, "avi-info-stray", name,
                 "there is no INFO list, but the bytes \"INFO\" at offset " + std::to_string(*launcher) +
                     " are read as one: the tag lines may show stray bytes",
                 "add a real INFO list with the tags"}};
    }
    std::uint64_t real = layout.infoList->dataOffset();
    std::uint32_t size = layout.infoList->size;
    if (launcher && *launcher != real) {
        return {{Severity::Warning, "avi-info-stray", name,
                 "the launcher reads the stray bytes \"INFO\" at offset " + std::to_string(*launcher) +
                     " instead of the INFO list at " + std::to_string(real) +
                     ": the tag lines show the wrong text or none",
                 MoveList}};
    }
    if (!launcher) {
        return {{Severity::Warning, "avi-info-outside", name,
                 "the INFO list starts at offset " + std::to_string(real) + ", outside " + Range() +
                     " where the launcher looks: no tag line is shown",
                 MoveList}};
    }
    if (size > LongestList) {
        return {{Severity::Warning, "avi-info-too-long", name,
                 "the INFO list is " + std::to_string(size) + " bytes long, over the " +
                     std::to_string(LongestList) + " the launcher reads: no tag line is shown",
                 "keep only the title, author, copyright and genre tags, with short texts"}};
    }
    return {};
}

}  // namespace discstart
