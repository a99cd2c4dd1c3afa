#include <gtest/gtest.h>

#include "kit/tag_check.h"

namespace discstart {

namespace {

struct TagCase {
    const char* name;
    MovieTags tags;
    std::vector<std::string> codes;  // in order
    const char* mentions;
};

MovieTags With(std::string MovieTags::*field, std::string value, std::string MovieTags::*other = nullptr,
               std::string otherValue = "") {
    MovieTags tags;
    tags.*field = std::move(value);
    if (other) tags.*other = std::move(otherValue);
    return tags;
}
MovieTags Title(std::string t) {
    return With(&MovieTags::title, std::move(t));
}
MovieTags Author(std::string a) {
    return With(&MovieTags::author, std::move(a));
}

const TagCase Cases[] = {
    {"title of 26", Title(std::string(26, 't')), {}, ""},
    {"title of 27", Title(std::string(27, 't')), {"tag-line-cut"}, "shorten the title tag to 26 characters"},
    {"title of 26 two-byte letters",
     Title([] {
         std::string s;
         for (int i = 0; i < 26; ++i) s += "\xC3\xA9";
         return s;
     }()),
     {},
     ""},
    {"title ends at its zero byte", Title(std::string(26, 't') + std::string("\0rest", 5)), {}, ""},
    {"author of 20", Author(std::string(20, 'a')), {}, ""},
    {"author of 21", Author("Jean-Baptiste Poquett"), {"tag-line-cut"}, "\"Author: Jean-Baptiste Poquet\""},
    {"copyright of 18",
     With(&MovieTags::copyright, std::string(18, 'c')),
     {"tag-line-cut"},
     "to 17 characters"},
    {"genre of 22", With(&MovieTags::genre, std::string(22, 'g')), {"tag-line-cut"}, "to 21 characters"},
    {"genre of 21", With(&MovieTags::genre, std::string(21, 'g')), {}, ""},
    {"Windows-1252 title", Title("Caf\xE9"), {"tag-not-utf8"}, "\"Caf\xC3\xA9\""},
    {"long Windows-1252 author", Author(std::string(25, '\xE9')), {"tag-not-utf8", "tag-line-cut"}, "author"},
    {"unshown tags are not checked, and the lines are blank",
     With(&MovieTags::language, std::string(40, 'l'), &MovieTags::comment, "\xFF"),
     {"no-tags"},
     "fill them: ffmpeg -i film.avi -c copy -metadata title=\xE2\x80\xA6 -metadata artist=\xE2\x80\xA6 "
     "-metadata "
     "copyright=\xE2\x80\xA6 -metadata genre=\xE2\x80\xA6 tagged-film.avi"},
    {"no tag at all", MovieTags{}, {"no-tags"}, "title and tag lines stay blank"},
    {"ffmpeg's software tag alone", With(&MovieTags::software, "Lavf59.27.100"), {"no-tags"}, "no title"},
    {"a genre alone fills a line", With(&MovieTags::genre, "Drama"), {}, ""},
};

TEST(TagCheck, FindsCutAndWindows1252Lines) {
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.name);
        auto findings = CheckTagLines(c.tags, "film.avi");
        std::vector<std::string> codes;
        std::string all;
        for (const auto& f : findings) {
            codes.push_back(f.code);
            all += FindingLine(f) + "\n";
        }
        EXPECT_EQ(codes, c.codes);
        EXPECT_NE(all.find(c.mentions), std::string::npos) << all;
    }
}

// The command is pasted into a shell: every name comes back as the one file.
TEST(TagCheck, CommandQuotesNamesForTheShell) {
    const std::pair<const char*, const char*> names[] = {
        {"film.avi", "-i film.avi "},       {"Night Train.avi", "-i 'Night Train.avi' "},
        {"it's.avi", "-i 'it'\\''s.avi' "}, {"-x.avi", "-i '-x.avi' "},
        {"$HOME.avi", "-i '$HOME.avi' "},
    };
    for (const auto& [name, says] : names)
        EXPECT_NE(TagCommand(name).find(says), std::string::npos) << TagCommand(name);
}

}  // namespace

}  // namespace discstart
