#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "bytes/byte_window.h"
#include "check_support.h"
#include "media/container.h"

namespace discstart {

namespace {

// The first block, then at most four windows where the boxes lie: 16 KiB each, up to 64 KiB where
// a long stts or the end of a fragmented film needs more; 160 KiB in all.
constexpr std::uint64_t MostBytes = 160 * 1024;
constexpr ReadLimits IsoLimits{1, 5, MostBytes};
// A first block shorter than the file makes a small input walk the windows a long film needs.
constexpr std::size_t ShortHead = 256;
constexpr std::size_t MaxTagBytes = 1024;

using Reading = std::pair<MovieFileKind, ContainerInfo>;

ContainerInfo Marked() {
    ContainerInfo info;
    info.brand = Untouched;
    info.durationSeconds = -1;
    return info;
}

// Raw bytes a reader hands back must be bytes of the file.
bool InFile(FileBytes file, const std::string& bytes) {
    return bytes.empty() ||
           std::search(file.begin(), file.end(), bytes.begin(), bytes.end(),
                       [](auto a, auto b) { return a == static_cast<std::uint8_t>(b); }) != file.end();
}

void ExpectText(FileBytes file, const char* name, const std::string& text, std::size_t most,
                Problems& problems) {
    Expect(text.size() <= most && InFile(file, text), problems,
           std::string(name) + " " + Quoted(text) + " is longer than " + std::to_string(most) +
               " bytes or not in the file");
}

bool Plain(double value) {
    return std::isfinite(value) && value >= 0;
}

void ExpectTrack(FileBytes file, const char* name, const TrackFacts& track, bool video, Problems& problems) {
    const std::string what = std::string(name) + " track: ";
    ExpectText(file, "codecId", track.codecId, 4, problems);
    Expect(track.fourcc.empty() && track.formatTag == 0, problems, what + "a Matroska field is set");
    Expect(Plain(track.framesPerSecond), problems,
           what + "frame rate " + std::to_string(track.framesPerSecond));
    Expect(track.channels <= 255, problems, what + std::to_string(track.channels) + " channels");
    if (video) {
        Expect(track.channels == 0 && track.sampleRate == 0 && track.audioObjectType == 0, problems,
               what + "sound facts on a picture");
    } else {
        Expect(track.width == 0 && track.height == 0 && track.framesPerSecond == 0, problems,
               what + "picture facts on a sound");
    }
}

void ExpectFacts(FileBytes file, const ContainerInfo& info, Problems& problems) {
    ExpectText(file, "brand", info.brand, 4, problems);
    Expect(Plain(info.durationSeconds), problems, "duration " + std::to_string(info.durationSeconds));
    for (const auto& [name, text] : {std::pair{"title", &info.tags.title},
                                     {"author", &info.tags.author},
                                     {"copyright", &info.tags.copyright},
                                     {"genre", &info.tags.genre},
                                     {"software", &info.tags.software}}) {
        ExpectText(file, name, *text, MaxTagBytes, problems);
    }
    Expect(info.tags.language.empty() && info.tags.comment.empty(), problems,
           "a tag no MP4 name maps to is set");
    Expect(!info.hasSeekHead && !info.hasCues, problems, "a Matroska layout fact is set");
    if (info.video) ExpectTrack(file, "video", *info.video, true, problems);
    if (info.audio) ExpectTrack(file, "audio", *info.audio, false, problems);
}

// The walk from a short first block reads further windows; where its budget lasted, it must find
// exactly what the walk over a whole file held in the first block found, and leave out the same.
void ExpectSameFromShortHead(FileBytes file, const ContainerInfo& whole, Problems& problems) {
    CountedMovie movie(file);
    ContainerInfo info;
    RunGuarded("ReadIsoMedia", problems, [&] {
        const auto opened = movie.files().open(MoviePath);
        const ByteWindow head = ByteWindow::Read(*opened, 0, ShortHead);
        ReadContainer(*opened, head, file.size(), info);
    });
    movie.checkLimits({1, IsoLimits.reads, MostBytes}, "ReadIsoMedia from a short head", problems);
    ExpectFacts(file, info, problems);
    Append(problems, PlausibleProblems(info));
    if (file.size() <= ContainerHeadBlock && movie.counts().reads < IsoLimits.reads) {
        Expect(info == whole, problems,
               "a walk over windows found other facts than one over the first block");
    }
}

}  // namespace

Problems IsoMediaProblems(FileBytes file, const Reading& before, const Reading& after) {
    Problems problems;
    const auto& [kind, info] = after;
    static constexpr std::array<const char*, 6> firstBoxes = {"ftyp", "moov", "mdat", "free", "skip", "wide"};
    const std::string first = TextAt(file, 4, 4);
    if (kind == MovieFileKind::Mp4) {
        Expect(std::find(firstBoxes.begin(), firstBoxes.end(), first) != firstBoxes.end(), problems,
               "an MP4 file starting with a box " + Quoted(first));
        ExpectFacts(file, info, problems);
        Append(problems, PlausibleProblems(info));
    } else if (kind == MovieFileKind::Other) {
        Expect(info == before.second, problems, "a file of no container kind changed the record");
    }
    return problems;
}

Problems CheckIsoMedia(FileBytes file) {
    Reading whole;
    Problems problems = CheckReading<Reading>(
        file, "ReadContainer", IsoLimits, Reading{MovieFileKind::Other, Marked()},
        [](const FileOpener& files, Reading& reading) {
            reading.first = ReadContainer(MoviePath, reading.second, files);
        },
        [&](const Reading& before, const Reading& after) {
            whole = after;
            return IsoMediaProblems(file, before, after);
        });
    if (whole.first == MovieFileKind::Mp4 && file.size() > ShortHead) {
        ExpectSameFromShortHead(file, whole.second, problems);
    }
    return problems;
}

}  // namespace discstart
