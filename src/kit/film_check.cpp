#include "kit/film_check.h"

#include <array>
#include <string_view>

#include "info/container_naming.h"

namespace discstart {

namespace {

const char* Remux =
    "remux it without re-encoding: mkvmerge -o out.mkv in.mkv, or ffmpeg -i in.mkv -c copy out.mkv";

struct PlatformNote {
    std::string_view codec;  // the name the panel shows
    std::string_view windows;
};

// What the players that come with Windows (Media Player, Films & TV) need for each codec;
// every other codec the panel names plays there as it is.
constexpr std::array<PlatformNote, 9> PlatformNotes{{
    {"H.265/HEVC", "Windows plays it only with the paid HEVC Video Extensions from the Microsoft Store"},
    {"AV1", "Windows 10 plays it only with the AV1 Video Extension from the Microsoft Store"},
    {"VP9", "Windows plays it only with the VP9 Video Extensions from the Microsoft Store"},
    {"VP8", "the players that come with Windows do not play it"},
    {"Theora", "the players that come with Windows do not play it"},
    {"MPEG-2 Video",
     "Windows 10 and 11 play it only with the MPEG-2 Video Extension from the Microsoft Store"},
    {"Opus", "Windows plays it only with the Web Media Extensions from the Microsoft Store"},
    {"Vorbis", "Windows plays it only with the Web Media Extensions from the Microsoft Store"},
    {"DTS", "the players that come with Windows do not decode it on every version"},
}};

void NoteCodec(const std::string& codec, const char* what, const std::string& name,
               std::vector<Finding>& out) {
    for (const PlatformNote& note : PlatformNotes) {
        if (codec != note.codec) continue;
        out.push_back({Severity::Note, "codec-platform", name,
                       std::string("the ") + what + " is " + codec + ": " + std::string(note.windows),
                       "if every viewer should see it, make the film an MP4 of H.264 and AAC: "
                       "ffmpeg -i in -c:v libx264 -c:a aac out.mp4"});
    }
}

void CheckLayout(MovieFileKind kind, const ContainerInfo& film, const std::string& name,
                 std::vector<Finding>& out) {
    if (kind == MovieFileKind::Mp4 && film.indexAfterMedia) {
        out.push_back({Severity::Warning, "mp4-index-at-end", name,
                       "the index (moov) lies after the media data: a player reads the end of the film "
                       "before its first picture, a long seek on a disc",
                       "move the index to the front: ffmpeg -i in.mp4 -c copy -movflags +faststart out.mp4"});
    }
    if (kind != MovieFileKind::Matroska) return;
    if (!film.hasCues) {
        out.push_back({Severity::Warning, "matroska-no-cues", name,
                       "the film has no Cues (its seek index) where a player looks for them: starting and "
                       "seeking read through the film, slowly from a disc",
                       Remux});
    }
    if (!film.hasSeekHead) {
        out.push_back({Severity::Warning, "matroska-no-seekhead", name,
                       "the film has no SeekHead: a player searches the file for its tracks and index, "
                       "slowly from a disc",
                       Remux});
    }
}

}  // namespace

std::vector<Finding> CheckFilm(MovieFileKind kind, const ContainerInfo& film, const std::string& name) {
    std::vector<Finding> out;
    CheckLayout(kind, film, name, out);
    if (film.video) NoteCodec(ContainerVideoName(*film.video).name, "video", name, out);
    if (film.audio) NoteCodec(ContainerAudioName(*film.audio), "audio", name, out);
    for (const RefusedFact& refused : film.refused) {
        out.push_back({Severity::Warning, "implausible-fact", name,
                       "the film's " + refused.header + " gives " + refused.fact + " " + refused.value +
                           ", which no film can have: the panel leaves it out",
                       "remux the film (ffmpeg -i film -c copy out) so that its headers are written afresh"});
    }
    return out;
}

}  // namespace discstart
