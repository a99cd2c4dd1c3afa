#include <gtest/gtest.h>

#include <set>

#include "kit/avi_check.h"
#include "kit/info_check.h"
#include "media/riff/avi_header.h"
#include "support/memory_files.h"
#include "support/riff_bytes.h"

namespace discstart {

using namespace media;

namespace {

std::vector<Finding> Check(const Bytes& bytes) {
    MemoryFile file(bytes);
    AviLayout layout = ReadAviLayout(file, file.length());
    MemoryFiles files;
    files.add("film.avi", bytes);
    AviHeaderInfo header;
    ReadAviHeader("film.avi", header, files);
    auto out = CheckAviLayout(layout, header, "film.avi");
    auto info = CheckInfoList(layout, file, "film.avi");
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

std::multiset<std::string> Codes(const std::vector<Finding>& findings) {
    std::multiset<std::string> codes;
    for (const auto& f : findings) codes.insert(f.code);
    return codes;
}

const auto Tags = Info({{"INAM", "Night Train"}});

struct LayoutCase {
    const char* name;
    Bytes file;
    std::multiset<std::string> codes;
    const char* mentions;  // a piece of text one of the findings must carry
};

const LayoutCase Layouts[] = {
    {"clean", CleanAvi(), {}, ""},
    {"stream name inside the video list",
     Avi({Avih(), VideoList("XVID", Chunk("strn", "Main")), AudioList()}, {Tags}),
     {},
     ""},
    {"audio stream first",
     Avi({Avih(), AudioList(), VideoList()}, {Tags}),
     {"avi-first-stream-not-video"},
     "audio"},
    {"video only", Avi({Avih(), VideoList()}, {Tags}), {"avi-single-stream", "avi-info-outside"}, "no audio"},
    {"video only, tags in reach",
     Avi({Avih(), VideoList()}, {Chunk("JUNK", Bytes(120, '\0')), Tags}),
     {"avi-single-stream"},
     ""},
    {"subtitles between video and audio",
     Avi({Avih(), VideoList(), List("strl", {Strh("txts", "    "), Chunk("strf", "")}), AudioList()}, {Tags}),
     {"avi-second-stream-not-audio"},
     "subtitle"},
    {"junk before the header list",
     Chunk("RIFF", "AVI " + Chunk("JUNK", "pad.") + List("hdrl", {Avih(), VideoList(), AudioList()}) + Tags),
     {"avi-extra-chunks"},
     "'JUNK' at 12"},
    {"junk before the main header",
     Avi({Chunk("JUNK", "pad."), Avih(), VideoList(), AudioList()}, {Tags}),
     {"avi-extra-chunks"},
     "main header"},
    {"junk between main header and stream list",
     Avi({Avih(), Chunk("JUNK", "pad."), VideoList(), AudioList()}, {Tags}),
     {"avi-extra-chunks"},
     "first stream list"},
    {"junk between the two stream lists",
     Avi({Avih(), VideoList(), Chunk("JUNK", "pad."), AudioList()}, {Tags}),
     {"avi-extra-chunks"},
     "second stream list"},
    {"junk between audio header and format",
     Avi({Avih(), VideoList(),
          List("strl", {Strh("auds", "    "), Chunk("JUNK", "pad."), Chunk("strf", Wave(0x55))}),
          AudioList()},
         {Tags}),
     {"avi-extra-chunks"},
     "second stream format"},
    {"odd-sized video list",
     Avi({Avih(),
          Chunk("LIST",
                "strl" + Strh("vids", "XVID") + Chunk("strf", Bytes(40, '\0')) + "strn" + U32(3) + "Odd"),
          AudioList()},
         {Tags}),
     {"avi-extra-chunks"},
     "pad byte"},
    {"extensible audio",
     Avi({Avih(), VideoList(), AudioList(Wave(0xFFFE, 16000, 0x55))}, {Tags}),
     {"avi-extensible-audio"},
     "(0x0055)"},
    {"VBR audio", Avi({Avih(), VideoList(), AudioList(Wave(0x55, 0))}, {Tags}), {"avi-vbr-audio"}, "VBR"},
    {"OpenDML without an extended header",
     CleanAvi() + Chunk("RIFF", "AVIX" + List("movi", {Chunk("00dc", Bytes(64, '\x11'))})),
     {"avi-opendml-short"},
     "first chunk's 250 frames"},
    // The panel shows the whole film where it finds the extended header.
    {"OpenDML with its frame count",
     Avi({Avih(40000, 250), VideoList(), AudioList(), Dmlh(400)}, {Tags}) +
         Chunk("RIFF", "AVIX" + List("movi", {})),
     {},
     ""},
    {"OpenDML counting no frames",
     Avi({Avih(40000, 250), VideoList(), AudioList(), Dmlh(0)}, {Tags}) +
         Chunk("RIFF", "AVIX" + List("movi", {})),
     {"avi-opendml-short"},
     "counts no frames"},
    {"OpenDML header past the 64 KiB the launcher reads",
     Avi({Avih(40000, 250), VideoList(), AudioList(), Chunk("JUNK", Zeros(65536)), Dmlh(400)}, {Tags}) +
         Chunk("RIFF", "AVIX" + List("movi", {})),
     {"avi-opendml-short", "avi-info-outside"},
     "without an extended header"},
    {"INFO list past 8999",
     Avi({Avih(), VideoList(), AudioList()}, {Chunk("JUNK", Bytes(9000, '\0')), Tags}),
     {"avi-info-outside"},
     "outside 319 to 8999"},
    {"INFO list of 258 bytes",
     Avi({Avih(), VideoList(), AudioList()}, {Info({{"INAM", Bytes(244, 'a')}})}),
     {"avi-info-too-long"},
     "258 bytes"},
    {"INFO list of 256 bytes",
     Avi({Avih(), VideoList(), AudioList()}, {Info({{"INAM", Bytes(243, 'a')}})}),
     {},
     ""},
    {"stray INFO bytes before the list",
     Avi({Avih(), VideoList(), AudioList()}, {Chunk("JUNK", Bytes(8, ' ') + "INFO"), Tags}),
     {"avi-info-stray"},
     "stray"},
    {"stray INFO bytes and no list",
     Avi({Avih(), VideoList(), AudioList()}, {Chunk("JUNK", Bytes(8, ' ') + "INFO")}),
     {"avi-info-stray"},
     ""},
    {"cut after the header list", CleanAvi().substr(0, 400), {"avi-truncated"}, "incomplete"},
    {"no INFO list (the tag check notes the blank lines)",
     Avi({Avih(), VideoList(), AudioList()}, {}),
     {},
     ""},
};

TEST(AviCheck, FindsEachLayoutTheLauncherMisreads) {
    for (const auto& c : Layouts) {
        SCOPED_TRACE(c.name);
        auto findings = Check(c.file);
        EXPECT_EQ(Codes(findings), c.codes);
        std::string all;
        for (const auto& f : findings) all += FindingLine(f) + "\n";
        EXPECT_NE(all.find(c.mentions), std::string::npos) << all;
    }
}

// A file cut anywhere inside its header list must never pass as clean, and the walk must
// stay inside the bytes it has.
TEST(AviCheck, TruncatedHeaderIsNeverClean) {
    Bytes clean = CleanAvi();
    MemoryFile whole(clean);
    AviLayout layout = ReadAviLayout(whole, whole.length());
    ASSERT_TRUE(layout.headerList);
    for (std::size_t n = 0; n < layout.headerList->end(); ++n) {
        auto findings = Check(clean.substr(0, n));
        ASSERT_EQ(ExitStatus(findings), 2) << "cut at " << n;
    }
}

}  // namespace

}  // namespace discstart
