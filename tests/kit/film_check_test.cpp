#include <gtest/gtest.h>

#include <set>

#include "kit/film_check.h"

namespace discstart {

namespace {

struct FilmCase {
    const char* name;
    MovieFileKind kind;
    ContainerInfo film;
    std::multiset<std::string> codes;
    const char* mentions;
};

TrackFacts Track(const char* id) {
    TrackFacts track;
    track.codecId = id;
    return track;
}

ContainerInfo Film(const char* video, const char* audio) {
    ContainerInfo film;
    film.hasCues = film.hasSeekHead = true;
    if (video[0] != '\0') film.video = Track(video);
    if (audio[0] != '\0') film.audio = Track(audio);
    return film;
}

ContainerInfo With(ContainerInfo film, bool ContainerInfo::*flag, bool value) {
    film.*flag = value;
    return film;
}

ContainerInfo Refusing(ContainerInfo film, std::vector<RefusedFact> refused) {
    film.refused = std::move(refused);
    return film;
}

TEST(FilmCheck, SlowStartsAndCodecsWindowsMayNotPlay) {
    const ContainerInfo plain = Film("avc1", "mp4a");
    const ContainerInfo webm = Film("V_VP9", "A_OPUS");
    const std::vector<FilmCase> cases = {
        {"MP4, index in front", MovieFileKind::Mp4, plain, {}, ""},
        {"MP4, index at the end",
         MovieFileKind::Mp4,
         With(plain, &ContainerInfo::indexAfterMedia, true),
         {"mp4-index-at-end"},
         "-movflags +faststart"},
        {"Matroska flags do not count for an MP4",
         MovieFileKind::Mp4,
         With(plain, &ContainerInfo::hasCues, false),
         {},
         ""},
        {"Matroska without Cues",
         MovieFileKind::Matroska,
         With(Film("V_MPEG4/ISO/AVC", "A_AAC"), &ContainerInfo::hasCues, false),
         {"matroska-no-cues"},
         "mkvmerge"},
        {"Matroska without SeekHead",
         MovieFileKind::Matroska,
         With(Film("V_MPEG4/ISO/AVC", "A_AC3"), &ContainerInfo::hasSeekHead, false),
         {"matroska-no-seekhead"},
         "-c copy"},
        {"WebM: VP9 and Opus",
         MovieFileKind::Matroska,
         webm,
         {"codec-platform", "codec-platform"},
         "VP9 Video"},
        {"HEVC", MovieFileKind::Mp4, Film("hvc1", "ac-3"), {"codec-platform"}, "the video is H.265/HEVC"},
        {"AV1 and FLAC", MovieFileKind::Mp4, Film("av01", "fLaC"), {"codec-platform"}, "AV1 Video Extension"},
        {"Xvid and MP3 in Matroska", MovieFileKind::Matroska, Film("V_MS/VFW/FOURCC", "A_MPEG/L3"), {}, ""},
        {"a frame rate no film has",
         MovieFileKind::Mp4,
         Refusing(plain, {{"video.fps", "stts", "4294967295"}}),
         {"implausible-fact"},
         "stts gives video.fps 4294967295"},
        {"each refused fact is named",
         MovieFileKind::Matroska,
         Refusing(Film("V_MPEG4/ISO/AVC", "A_AAC"),
                  {{"duration", "Info", "1e+291"}, {"audio.channels", "Audio", "0"}}),
         {"implausible-fact", "implausible-fact"},
         "Info gives duration 1e+291"},
        {"DTS audio only",
         MovieFileKind::Matroska,
         Film("", "A_DTS"),
         {"codec-platform"},
         "the audio is DTS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::multiset<std::string> codes;
        std::string all;
        for (const Finding& f : CheckFilm(c.kind, c.film, "film")) {
            codes.insert(f.code);
            all += FindingLine(f) + "\n";
            EXPECT_EQ(f.file, "film");
            EXPECT_EQ(f.severity, f.code == "codec-platform" ? Severity::Note : Severity::Warning);
        }
        EXPECT_EQ(codes, c.codes) << all;
        EXPECT_NE(all.find(c.mentions), std::string::npos) << all;
    }
}

}  // namespace

}  // namespace discstart
