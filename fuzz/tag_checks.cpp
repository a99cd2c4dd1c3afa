#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "check_support.h"
#include "media/riff/info_tags.h"

namespace discstart {

namespace {

// The whole search window is one read.
constexpr ReadLimits TagLimits{1, 2, 9000 + 256};

// In the order the reader looks for them, matching Fields() below.
constexpr std::array<std::string_view, 7> TagIds = {"INAM", "IART", "ICOP", "ILNG", "ISFT", "ICMT", "IGNR"};

std::array<std::string*, 7> Fields(MovieTags& tags) {
    return {&tags.title,    &tags.author,  &tags.copyright, &tags.language,
            &tags.software, &tags.comment, &tags.genre};
}

MovieTags Marked() {
    MovieTags tags;
    for (auto* field : Fields(tags)) *field = Untouched;
    return tags;
}

std::optional<std::uint64_t> FindInfoList(FileBytes file) {
    for (std::uint64_t q = 319; q <= 8999 && q + 4 <= file.size(); ++q) {
        if (TextAt(file, q, 4) == "INFO") return q;
    }
    return std::nullopt;
}

// The tags a list content yields. `spoiled` when an identifier has no usable size byte, a
// case in which keeping the old tags is as right as reading the others.
struct ContentTags {
    MovieTags tags;
    bool spoiled = false;
};

ContentTags TagsOf(std::string_view content) {
    ContentTags result;
    const auto fields = Fields(result.tags);
    for (std::size_t i = 0; i < TagIds.size(); ++i) {
        const auto at = content.find(TagIds[i]);
        if (at == std::string_view::npos) continue;
        if (at + 4 >= content.size()) {
            result.spoiled = true;
            continue;
        }
        const int length = static_cast<unsigned char>(content[at + 4]) - 1;
        if (length < 0) result.spoiled = true;
        if (length > 0 && at + 8 < content.size()) {
            *fields[i] = std::string(content.substr(at + 8, static_cast<std::size_t>(length)));
        }
    }
    return result;
}

std::string Describe(MovieTags tags) {
    std::string text;
    for (std::size_t i = 0; i < TagIds.size(); ++i) {
        text += std::string(" ") + std::string(TagIds[i]) + "=" + Quoted(*Fields(tags)[i]);
    }
    return text;
}

}  // namespace

Problems InfoTagsProblems(FileBytes file, const MovieTags& before, const MovieTags& after) {
    Problems problems;
    const auto q = FindInfoList(file);
    const std::int32_t listSize = q ? Int32At(file, *q - 4) : 0;
    if (!q || listSize < 1 || listSize > 256) {
        Expect(after == MovieTags{}, problems,
               "tags were not cleared without a usable INFO list:" + Describe(after));
        return problems;
    }
    if (listSize < 4) {
        Expect(after == before, problems, "a list of size " + std::to_string(listSize) + " changed the tags");
        return problems;
    }

    // A list running past the end of the file may be read short or padded with zero bytes.
    const std::uint64_t start = *q + 4;
    const std::uint64_t end = *q + static_cast<std::uint64_t>(listSize);
    const std::uint64_t held = std::clamp<std::uint64_t>(file.size(), start, end);
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    const std::string shortContent(start < held ? bytes.substr(start, held - start) : std::string_view{});
    std::string paddedContent = shortContent;
    paddedContent.resize(static_cast<std::size_t>(end - start), '\0');

    std::vector<MovieTags> allowed;
    bool mayKeep = listSize < 8;
    for (const std::string* content : {&shortContent, &std::as_const(paddedContent)}) {
        if (content->size() < 4) {
            mayKeep = true;
            continue;
        }
        const ContentTags read = TagsOf(*content);
        mayKeep = mayKeep || read.spoiled;
        allowed.push_back(read.tags);
    }
    if (mayKeep) allowed.push_back(before);
    Expect(std::find(allowed.begin(), allowed.end(), after) != allowed.end(), problems,
           "tags differ from the INFO list at " + std::to_string(*q) + ":" + Describe(after));
    return problems;
}

Problems CheckInfoTags(FileBytes file) {
    return CheckReading<MovieTags>(
        file, "ReadInfoTags", TagLimits, Marked(),
        [](const FileOpener& files, MovieTags& tags) { DivX::ReadInfoTags(MoviePath, tags, files); },
        [&](const MovieTags& before, const MovieTags& after) {
            return InfoTagsProblems(file, before, after);
        });
}

}  // namespace discstart
