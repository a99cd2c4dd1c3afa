#pragma once

// How the Matroska tests read a film: as ReadContainer does, counting the reads.

#include <memory>
#include <ostream>

#include "media/container.h"
#include "support/ebml_bytes.h"
#include "support/memory_files.h"

namespace discstart {

inline void PrintTo(const TrackFacts& t, std::ostream* out) {
    *out << "{" << t.codecId << " fourcc " << t.fourcc << " tag " << t.formatTag << " aot "
         << int(t.audioObjectType) << " " << t.width << "x" << t.height << " fps " << t.framesPerSecond
         << " ch " << t.channels << " rate " << t.sampleRate << " bitrate " << t.bitrate << "}";
}

inline void PrintTo(const ContainerInfo& i, std::ostream* out) {
    *out << "{" << i.brand << " " << i.durationSeconds << " s, video ";
    i.video ? PrintTo(*i.video, out) : void(*out << "none");
    *out << ", audio ";
    i.audio ? PrintTo(*i.audio, out) : void(*out << "none");
    *out << ", tags " << i.tags.title << "|" << i.tags.author << "|" << i.tags.copyright << "|"
         << i.tags.genre << "|" << i.tags.software << ", seek " << i.hasSeekHead << " cues " << i.hasCues
         << "}";
}

struct Reading {
    ContainerInfo info;
    CountingFiles::Counts counts;
};

// As ReadContainer reads a Matroska file: the head in one read, then the reader.
inline Reading ReadFilm(const FileOpener& files) {
    CountingFiles counting(files);
    Reading reading;
    const auto file = counting.open("film.mkv");
    const ByteWindow head = ByteWindow::Read(*file, 0, ContainerHeadBlock);
    ReadMatroska(*file, head, reading.info);
    reading.counts = counting.counts();
    return reading;
}

inline Reading ReadFilm(const ebml::MatroskaParts& parts) {
    VirtualMovie movie(std::make_shared<std::vector<std::uint8_t>>(parts.front.begin(), parts.front.end()),
                       parts.tailAt + parts.tail.size());
    movie.place(parts.tailAt, parts.tail);
    return ReadFilm(movie);
}

inline Reading ReadFilm(const ebml::Bytes& bytes) {
    MemoryFiles memory;
    memory.add("film.mkv", bytes);
    return ReadFilm(memory);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// The film ebml::BuildMatroska makes unless told otherwise.
inline ContainerInfo Film() {
    ContainerInfo info;
    info.brand = "matroska";
    info.durationSeconds = 5400;
    info.video = TrackFacts{
        .codecId = "V_MPEG4/ISO/AVC", .width = 640, .height = 272, .framesPerSecond = 25, .bitrate = 900'000};
    info.audio = TrackFacts{.codecId = "A_AAC", .channels = 2, .sampleRate = 48'000};
    info.tags = {.title = "Tag Title",
                 .author = "Someone",
                 .copyright = "(c) 2024",
                 .software = "Lavf",
                 .genre = "Drama"};
    info.hasSeekHead = true;
    info.hasCues = true;
    return info;
}
#pragma GCC diagnostic pop

inline constexpr std::uint64_t MiB = 1 << 20;

}  // namespace discstart
