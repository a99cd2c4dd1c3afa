#include <cmath>
#include <string_view>

#include "check_support.h"
#include "media/container.h"

namespace discstart {

namespace {

// The head, then at most five reads of at most 512 KiB together.
constexpr ReadLimits MatroskaLimits{1, 6, ContainerHeadBlock + 512 * 1024};
constexpr std::size_t ShortHead = 256;

bool InFile(FileBytes file, std::string_view text) {
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    return bytes.find(text) != std::string_view::npos;
}

// A text the reader gives must stand in the file as it is: nothing is made up.
void ExpectStored(FileBytes file, const char* name, const std::string& text, std::size_t maxBytes,
                  Problems& problems) {
    if (text.empty()) return;
    Expect(text.size() <= maxBytes, problems,
           std::string(name) + " is " + std::to_string(text.size()) + " bytes");
    Expect(InFile(file, text), problems, std::string(name) + " " + Quoted(text) + " is not in the file");
}

void ExpectSane(FileBytes file, const char* name, const TrackFacts& track, Problems& problems) {
    const std::string what(name);
    ExpectStored(file, (what + ".codecId").c_str(), track.codecId, 64, problems);
    Expect(track.fourcc.empty() || track.fourcc.size() == 4, problems,
           what + ".fourcc " + Quoted(track.fourcc));
    Expect(std::isfinite(track.framesPerSecond) && track.framesPerSecond >= 0 && track.framesPerSecond <= 1e9,
           problems, what + ".framesPerSecond is " + std::to_string(track.framesPerSecond));
    // A video track has no sound facts, an audio track no picture facts.
    const bool video = std::string_view(name) == "video";
    Expect(video ? track.channels == 0 && track.sampleRate == 0
                 : track.width == 0 && track.height == 0 && track.framesPerSecond == 0,
           problems, what + " has facts of the other kind");
}

}  // namespace

Problems MatroskaProblems(FileBytes file, const ContainerInfo& info) {
    Problems problems;
    if (info.brand.empty()) {
        Expect(info == ContainerInfo{}, problems, "a refused file gave facts");
        return problems;
    }
    Expect(info.brand == "matroska" || info.brand == "webm", problems, "brand " + Quoted(info.brand));
    Expect(std::isfinite(info.durationSeconds) && info.durationSeconds >= 0, problems,
           "durationSeconds is " + std::to_string(info.durationSeconds));
    if (info.video) ExpectSane(file, "video", *info.video, problems);
    if (info.audio) ExpectSane(file, "audio", *info.audio, problems);
    Append(problems, PlausibleProblems(info));
    const MovieTags& tags = info.tags;
    for (const auto& [name, text] : {std::pair{"title", &tags.title}, std::pair{"author", &tags.author},
                                     std::pair{"copyright", &tags.copyright}, std::pair{"genre", &tags.genre},
                                     std::pair{"software", &tags.software}}) {
        ExpectStored(file, name, *text, 1024, problems);
    }
    Expect(tags.language.empty() && tags.comment.empty(), problems,
           "language or comment from a Matroska file");
    Expect(!info.indexAfterMedia && !info.fragmented, problems, "MP4 layout facts from a Matroska file");
    return problems;
}

Problems CheckMatroska(FileBytes file) {
    Problems problems;
    // As ReadContainer reads (the implausible facts left out), and from a head so short that a fuzzer's small
    // files need the reads beyond it too.
    for (const std::size_t headBytes : {ContainerHeadBlock, ShortHead}) {
        Append(problems, CheckReading<ContainerInfo>(
                             file, headBytes == ShortHead ? "ReadMatroska from a short head" : "ReadMatroska",
                             MatroskaLimits, ContainerInfo{},
                             [&](const FileOpener& files, ContainerInfo& info) {
                                 const auto movie = files.open(MoviePath);
                                 if (!movie) return;
                                 const ByteWindow head = ByteWindow::Read(*movie, 0, headBytes);
                                 if (ContainerKind(head) == MovieFileKind::Matroska)
                                     ReadContainer(*movie, head, file.size(), info);
                             },
                             [&](const ContainerInfo&, const ContainerInfo& after) {
                                 return MatroskaProblems(file, after);
                             }));
    }
    return problems;
}

}  // namespace discstart
