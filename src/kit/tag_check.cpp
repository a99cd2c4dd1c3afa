#include "kit/tag_check.h"

#include <cstring>

#include "info/display_text.h"
#include "info/panel.h"

namespace discstart {

namespace {

struct TagLine {
    const char* tag;
    const char* prefix;  // the panel's own prefix before the text
    std::size_t length;
    const std::string MovieTags::*field;
};

const TagLine Lines[] = {
    {"title", "", TitleLineLength, &MovieTags::title},
    {"author", "Author: ", TagLineLength, &MovieTags::author},
    {"copyright", "Copyright: ", TagLineLength, &MovieTags::copyright},
    {"genre", "Genre: ", TagLineLength, &MovieTags::genre},
};

}  // namespace

std::vector<Finding> CheckTagLines(const MovieTags& tags, const std::string& file) {
    std::vector<Finding> out;
    for (const auto& line : Lines) {
        const std::string& raw = tags.*line.field;
        if (raw.empty()) continue;
        std::string text = DisplayText(raw);
        if (text != raw.substr(0, raw.find('\0'))) {
            out.push_back({Severity::Note, "tag-not-utf8", file,
                           std::string("the ") + line.tag +
                               " tag is not UTF-8 and is read as Windows-1252: \"" + text + "\"",
                           "write the tag in UTF-8 if that is not the text you meant"});
        }
        std::string full = line.prefix + text;
        std::string shown = CutCharacters(full, line.length);
        if (shown != full) {
            std::size_t room = line.length - std::strlen(line.prefix);
            out.push_back(
                {Severity::Warning, "tag-line-cut", file,
                 std::string("the ") + line.tag + " line is cut to \"" + shown + "\"",
                 std::string("shorten the ") + line.tag + " tag to " + std::to_string(room) + " characters"});
        }
    }
    return out;
}

}  // namespace discstart
