#include "kit/tag_check.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "info/panel.h"
#include "text/display_text.h"

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

// A file name as a shell takes it back: plain names as they are, others in single quotes.
std::string ShellWord(const std::string& name) {
    const bool plain = !name.empty() && name[0] != '-' && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("._+-").find(c) != std::string_view::npos;
    });
    if (plain) return name;
    std::string quoted = "'";
    for (const char c : name) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string TagCommand(const std::string& file) {
    return "ffmpeg -i " + ShellWord(file) +
           " -c copy -metadata title=\u2026 -metadata artist=\u2026 -metadata copyright=\u2026 -metadata "
           "genre=\u2026 " +
           ShellWord("tagged-" + file);
}

std::vector<Finding> CheckTagLines(const MovieTags& tags, const std::string& file) {
    std::vector<Finding> out;
    // ffmpeg writes a software tag into every film it makes: the lines count, not the block.
    // A text is shown up to its first zero byte.
    if (std::all_of(std::begin(Lines), std::end(Lines),
                    [&tags](const TagLine& line) { return (tags.*line.field).c_str()[0] == '\0'; })) {
        out.push_back({Severity::Note, "no-tags", file,
                       "the film has no title, author, copyright or genre tag: the title and tag lines stay "
                       "blank",
                       "fill them: " + TagCommand(file)});
        return out;
    }
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
