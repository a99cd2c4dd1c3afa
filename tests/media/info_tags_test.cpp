#include <gtest/gtest.h>

#include "media/riff/info_tags.h"
#include "support/header_bytes.h"

namespace discstart {

namespace {

const MovieTags Earlier{"old title", "old author",  "old copy", "old lang",
                        "old soft",  "old comment", "old genre"};

MovieTags Read(const Bytes& bytes, CountingFiles::Counts* counts = nullptr) {
    MemoryFiles memory;
    memory.add("film.avi", bytes);
    CountingFiles files(memory);
    MovieTags tags = Earlier;
    DivX::ReadInfoTags("film.avi", tags, files);
    if (counts) *counts = files.counts();
    return tags;
}

MovieTags TitleOnly(const std::string& title) {
    MovieTags tags;
    tags.title = title;
    return tags;
}

const Bytes FilmTitle = BuildInfoContent({{"INAM", "Film"}});

struct PlaceCase {
    std::size_t q;
    std::size_t fileLength;
    MovieTags expected;
};

TEST(ReadInfoTags, SearchesForTheListFrom319To8999) {
    const std::vector<PlaceCase> cases = {
        {318, 2000, MovieTags{}},  {319, 2000, TitleOnly("Film")},  {8999, 9500, TitleOnly("Film")},
        {9000, 9500, MovieTags{}}, {4000, 4016, TitleOnly("Film")},  // content ends with the file
        {8999, 9003, Earlier},                                       // "INFO" found, no content
        {8999, 9002, MovieTags{}},                                   // "INFO" cut by the end of the file
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(BuildInfoFile(c.q, FilmTitle, c.fileLength)), c.expected)
            << c.q << " in " << c.fileLength;
    }
}

TEST(ReadInfoTags, TheFirstInfoAnywhereInTheWindowWins) {
    // An "INFO" inside padding, with no list id before it, is taken as the list.
    Bytes bytes = BuildInfoFile(1000, BuildInfoContent({{"INAM", "Second"}}), 2000);
    const Bytes first = BuildInfoFile(600, BuildInfoContent({{"INAM", "First"}}), 700);
    std::copy(first.begin() + 596, first.end(), bytes.begin() + 596);
    EXPECT_EQ(Read(bytes), TitleOnly("First"));
    EXPECT_EQ(Read(ByteWriter{}.text(0, "OggS").size(20'000).bytes), MovieTags{});
}

struct SizeCase {
    std::int64_t listSize;
    MovieTags expected;
};

TEST(ReadInfoTags, TheListSizeBoundsTheContent) {
    // A comment, then a genre whose text ends exactly at content byte 252 (L = 256).
    const Bytes content = BuildInfoContent({{"ICMT", std::string(231, 'c')}, {"IGNR", "abcd"}});
    ASSERT_EQ(content.size(), 254u);
    MovieTags full;
    full.comment = std::string(231, 'c');
    full.genre = "abcd";
    MovieTags cut = full;
    cut.genre = "abc";
    MovieTags noGenre = full;
    noGenre.genre = "";
    const std::vector<SizeCase> cases = {
        {256, full},       {257, MovieTags{}}, {255, cut},   {248, noGenre}, {0, MovieTags{}},
        {-4, MovieTags{}}, {1, Earlier},       {3, Earlier}, {4, Earlier},   {7, Earlier},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(BuildInfoFile(500, content, 2000, c.listSize)), c.expected) << c.listSize;
    }
}

struct ContentCase {
    const char* name;
    Bytes content;
    MovieTags expected;
};

Bytes Raw(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(ReadInfoTags, ReadsTheSubChunksAsSubstrings) {
    const std::vector<ContentCase> cases = {
        {"all seven",
         BuildInfoContent({{"IGNR", "G"},
                           {"ICMT", "C"},
                           {"ISFT", "S"},
                           {"ILNG", "L"},
                           {"ICOP", "P"},
                           {"IART", "A"},
                           {"INAM", "N"}}),
         {"N", "A", "P", "L", "S", "C", "G"}},
        {"size counts the zero", BuildInfoContent({{"IART", "Abcd", 5}}), {"", "Abcd", "", "", "", "", ""}},
        {"size without the zero", BuildInfoContent({{"IART", "Abcd", 4}}), {"", "Abc", "", "", "", "", ""}},
        {"size 1", BuildInfoContent({{"IART", "", 1}, {"INAM", "T"}}), TitleOnly("T")},
        {"only the low size byte", BuildInfoContent({{"INAM", "Abcd", 0x105}}), TitleOnly("Abcd")},
        {"lower-case id",
         BuildInfoContent({{"inam", "Lower"}, {"IART", "Up"}}),
         {"", "Up", "", "", "", "", ""}},
        {"id inside a comment",
         BuildInfoContent({{"ICMT", "see INAM\x06xxxTitle"}, {"INAM", "Real"}}),
         {"Title", "", "", "", "", "see INAM\x06xxxTitle", ""}},
        {"text runs past the content", Raw(std::string("INAM\x40\0\0\0Cut", 11)), TitleOnly("Cut")},
        {"text starts past the content", Raw(std::string("xxxxINAM\x09\0\0", 11)), MovieTags{}},
        // One odd sub-chunk empties only its own tag.
        {"size byte 0",
         Raw(std::string("INAM\0\0\0\0IART\x03\0\0\0Ab\0\0", 20)),
         {"", "Ab", "", "", "", "", ""}},
        {"id in the last four bytes",
         Raw(std::string("IART\x03\0\0\0Ab\0\0INAM", 16)),
         {"", "Ab", "", "", "", "", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(BuildInfoFile(400, c.content, 1000)), c.expected) << c.name;
}

TEST(ReadInfoTags, ReadsTheWindowOnce) {
    CountingFiles::Counts counts;
    EXPECT_EQ(Read(BuildInfoFile(8999, FilmTitle, 700'000), &counts), TitleOnly("Film"));
    EXPECT_EQ(counts.opens, 1);
    EXPECT_EQ(counts.reads, 1);
    EXPECT_LE(counts.bytes, 9'300u);

    MovieTags tags = Earlier;
    DivX::ReadInfoTags("missing.avi", tags, MemoryFiles());
    EXPECT_EQ(tags, Earlier);
}

}  // namespace

}  // namespace discstart
