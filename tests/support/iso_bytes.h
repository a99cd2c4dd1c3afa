#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace discstart {

// ISO base media files (MP4, MOV) composed box by box, laid out the way ffmpeg writes them.
namespace isobmff {

using Bytes = std::string;

Bytes Be16(std::uint16_t v);
Bytes Be32(std::uint32_t v);
Bytes Be64(std::uint64_t v);

Bytes Box(const std::string& type, const Bytes& payload);
Bytes LargeBox(const std::string& type, const Bytes& payload);  // size 1, then a 64-bit size
Bytes FullBox(const std::string& type, std::uint8_t version, const Bytes& payload);

// Sample entries with their configuration boxes after the entry's own fields.
Bytes VisualEntry(const std::string& type, std::uint16_t width, std::uint16_t height,
                  const Bytes& children = "");
// Version 0 (ISO), 1 or 2 (QuickTime) sound descriptions.
Bytes SoundEntry(const std::string& type, std::uint16_t channels, std::uint32_t rate,
                 const Bytes& children = "", std::uint16_t version = 0);
Bytes Esds(std::uint8_t objectType, std::uint32_t avgBitrate, const Bytes& specificInfo = "");
Bytes Btrt(std::uint32_t avgBitrate);

struct TrackRecipe {
    std::string handler = "vide";
    Bytes entry = VisualEntry("avc1", 640, 360);  // the stsd's first entry
    std::uint32_t timescale = 12800;
    std::uint64_t duration = 128'000;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> times = {{250, 512}};  // stts runs
    // An stsz of this size after the stts: the sample tables of a long film.
    std::uint32_t sampleTableBytes = 64;
    std::uint8_t headerVersion = 0;  // of the tkhd: 1 has 64-bit times
};
TrackRecipe SoundTrack(const Bytes& entry = SoundEntry("mp4a", 2, 48000));
Bytes Trak(const TrackRecipe& track, std::uint32_t id = 1);

struct MovieRecipe {
    std::uint32_t timescale = 1000;
    std::uint64_t duration = 10'000;
    std::uint8_t version = 0;  // of the mvhd
    std::vector<TrackRecipe> tracks = {TrackRecipe{}, SoundTrack()};
    Bytes mvex;  // its payload; no mvex when empty
    Bytes udta;  // its payload; no udta when empty
};
Bytes Moov(const MovieRecipe& movie);

// Fragments. Tracks are numbered from 1 in the order of MovieRecipe::tracks.
Bytes Trex(std::uint32_t track, std::uint32_t defaultDuration = 0);
struct TrafRecipe {
    std::uint32_t track = 1;
    std::uint64_t start = 0;                 // tfdt, 64-bit
    std::vector<std::uint32_t> durations{};  // in the trun, one a sample
    std::uint32_t samples = 0;               // where there are no durations: samples without any
    std::uint32_t defaultDuration = 0;       // in the tfhd where not 0
};
Bytes Moof(const std::vector<TrafRecipe>& trafs);
// sidx of version 0 with references of (size, duration).
Bytes Sidx(std::uint32_t timescale, std::uint32_t earliest,
           const std::vector<std::pair<std::uint32_t, std::uint32_t>>& references,
           std::uint32_t firstOffset = 0);
// mfra with a tfra of version 1 for each track (its moof offsets), then its mfro.
Bytes Mfra(const std::vector<std::vector<std::uint64_t>>& moofOffsets);

// meta (hdlr, ilst) for a udta: each item holds one UTF-8 data box.
Bytes ItemList(const std::vector<std::pair<std::string, Bytes>>& items);
Bytes Ftyp(const std::string& brand = "isom");

// ftyp, moov, mdat; and ftyp, free, mdat, moov as ffmpeg writes without +faststart.
Bytes MoovFirst(const MovieRecipe& movie, std::size_t mediaBytes = 1000);
Bytes MoovLast(const MovieRecipe& movie, std::size_t mediaBytes = 1000);

}  // namespace isobmff

}  // namespace discstart
