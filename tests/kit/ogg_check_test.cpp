#include <gtest/gtest.h>

#include <set>

#include "kit/ogg_check.h"
#include "support/memory_files.h"
#include "support/riff_bytes.h"

namespace discstart {

using namespace media;

namespace {

struct OggCase {
    const char* name;
    Bytes file;
    std::set<std::string> codes;
    const char* mentions;
};

const Bytes VideoPage = OggPage(2, 1, {OgmVideoHeader()});
const Bytes VorbisPage = OggPage(2, 2, {VorbisIdentification()});
const Bytes CommentPage = OggPage(0, 2, {"\x03vorbis" + U32(0) + U32(0) + "\x01"});

const OggCase Cases[] = {
    {"clean", CleanOgm(), {}, ""},
    {"Vorbis stream first",
     VorbisPage + VideoPage + CommentPage,
     {"ogg-first-page", "ogg-second-page"},
     "holds a Vorbis identification header, not the video"},
    {"two packets on the first page",
     OggPage(2, 1, {OgmVideoHeader(), "\x03video"}) + VorbisPage,
     {"ogg-first-page", "ogg-second-page"},
     "starts at offset 29"},
    {"short video header",
     OggPage(2, 1, {OgmVideoHeader("XVID", 53)}) + VorbisPage,
     {"ogg-second-page"},
     "the second page starts at 81"},
    {"text stream second",
     VideoPage + OggPage(2, 3, {Bytes("\x01text\0\0\0", 8) + Bytes(49, '\0')}) + VorbisPage,
     {"ogg-second-page"},
     "OGM text header"},
    {"Vorbis comment second", VideoPage + CommentPage, {"ogg-second-page"}, "Vorbis comment header"},
    {"two packets on the second page",
     VideoPage + OggPage(2, 2, {Bytes(3, 'x'), VorbisIdentification()}),
     {"ogg-second-page"},
     "unknown packet"},
    {"Theora video",
     OggPage(2, 1, {"\x80theora" + Bytes(35, '\0')}) + VorbisPage,
     {"ogg-first-page", "ogg-second-page"},
     "Theora"},
    {"OGM audio stream second",
     VideoPage +
         OggPage(2, 3,
                 {Bytes("\x01"
                        "audio\0\0\0",
                        9) +
                  Bytes(48, '\0')}) +
         VorbisPage,
     {"ogg-second-page"},
     "OGM audio header"},
    {"Opus second",
     VideoPage + OggPage(2, 2, {"OpusHead" + Bytes(11, '\0')}),
     {"ogg-second-page"},
     "Opus header"},
    {"FLAC first",
     OggPage(2, 1,
             {"\x7f"
              "FLAC" +
              Bytes(46, '\0')}) +
         VorbisPage,
     {"ogg-first-page", "ogg-second-page"},
     "FLAC header"},
    {"Vorbis setup second",
     VideoPage + OggPage(0, 2, {"\x05vorbis" + Bytes(10, '\0')}),
     {"ogg-second-page"},
     "Vorbis setup header"},
    {"empty packet second", VideoPage + OggPage(2, 2, {""}), {"ogg-second-page"}, "empty packet"},
    {"cut inside the first page",
     VideoPage.substr(0, 60),
     {"ogg-first-page", "ogg-second-page"},
     "the file ends inside its first page"},
    {"capital OGGS", "OGGS" + VideoPage.substr(4) + VorbisPage, {"ogg-first-page"}, "no whole Ogg page"},
    {"ends after the first page", VideoPage, {"ogg-second-page"}, "the file ends after the first page"},
};

TEST(OggCheck, FindsPagesTheLauncherMisreads) {
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.name);
        MemoryFile file(c.file);
        auto findings = CheckOggPages(file, "film.avi");
        std::set<std::string> codes;
        std::string all;
        for (const auto& f : findings) {
            codes.insert(f.code);
            all += FindingLine(f) + "\n";
            EXPECT_EQ(f.severity, Severity::Error);
        }
        EXPECT_EQ(codes, c.codes);
        EXPECT_NE(all.find(c.mentions), std::string::npos) << all;
    }
}

TEST(OggCheck, TruncatedHeadersAreNeverClean) {
    Bytes clean = CleanOgm();
    for (std::size_t n = 0; n < 113 + 30; ++n) {
        MemoryFile file(clean.substr(0, n));
        ASSERT_FALSE(CheckOggPages(file, "film.avi").empty()) << "cut at " << n;
    }
}

}  // namespace

}  // namespace discstart
