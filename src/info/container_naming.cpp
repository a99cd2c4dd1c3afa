#include "info/container_naming.h"

#include <array>
#include <string_view>

namespace discstart {

namespace {

struct CodecRow {
    std::string_view id;
    std::string_view name;
};

// MP4 sample entry types, Matroska CodecIDs and the magic of Ogg identification headers. A Matroska ID also
// names its sub-IDs
// ("A_AC3" covers "A_AC3/BSID9"); an MP4 type is four bytes and matches whole.
constexpr std::array<CodecRow, 34> VideoCodecs{{
    {"avc1", "H.264/AVC"},
    {"avc2", "H.264/AVC"},
    {"avc3", "H.264/AVC"},
    {"avc4", "H.264/AVC"},
    {"hvc1", "H.265/HEVC"},
    {"hev1", "H.265/HEVC"},
    {"av01", "AV1"},
    {"vp09", "VP9"},
    {"vp08", "VP8"},
    {"mp4v", "MPEG-4 Visual"},
    {"s263", "H.263"},
    {"h263", "H.263"},
    {"jpeg", "Motion JPEG"},
    {"mjpa", "Motion JPEG"},
    {"mjpb", "Motion JPEG"},
    {"apch", "ProRes"},
    {"apcn", "ProRes"},
    {"apcs", "ProRes"},
    {"apco", "ProRes"},
    {"ap4h", "ProRes"},
    {"V_MPEG4/ISO/AVC", "H.264/AVC"},
    {"V_MPEGH/ISO/HEVC", "H.265/HEVC"},
    {"V_AV1", "AV1"},
    {"V_VP9", "VP9"},
    {"V_VP8", "VP8"},
    {"V_MPEG4/ISO", "MPEG-4 Visual"},
    {"V_MPEG2", "MPEG-2 Video"},
    {"V_MPEG1", "MPEG-1 Video"},
    {"V_THEORA", "Theora"},
    {"V_MJPEG", "Motion JPEG"},
    {"V_PRORES", "ProRes"},
    {"V_FFV1", "FFV1"},
    {"V_DIRAC", "Dirac"},
    {"theora", "Theora"},
}};

constexpr std::array<CodecRow, 43> AudioCodecs{{
    {".mp3", "MP3"},
    {"Opus", "Opus"},
    {"ac-3", "AC-3"},
    {"ec-3", "E-AC-3"},
    {"ac-4", "AC-4"},
    {"fLaC", "FLAC"},
    {"alac", "ALAC"},
    {"dtsc", "DTS"},
    {"dtsh", "DTS"},
    {"dtsl", "DTS"},
    {"dtse", "DTS"},
    {"lpcm", "PCM"},
    {"sowt", "PCM"},
    {"twos", "PCM"},
    {"ipcm", "PCM"},
    {"fpcm", "PCM"},
    {"in24", "PCM"},
    {"in32", "PCM"},
    {"fl32", "PCM"},
    {"fl64", "PCM"},
    {"raw ", "PCM"},
    {"samr", "AMR"},
    {"A_OPUS", "Opus"},
    {"A_VORBIS", "Vorbis"},
    {"A_AC3", "AC-3"},
    {"A_EAC3", "E-AC-3"},
    {"A_DTS", "DTS"},
    {"A_FLAC", "FLAC"},
    {"A_MPEG/L3", "MP3"},
    {"A_MPEG/L2", "MP2"},
    {"A_MPEG/L1", "MP1"},
    {"A_PCM", "PCM"},
    {"A_TRUEHD", "TrueHD"},
    {"A_MLP", "MLP"},
    {"A_ALAC", "ALAC"},
    {"A_TTA1", "TTA"},
    {"A_WAVPACK4", "WavPack"},
    {"A_QUICKTIME/QDM2", "QDesign"},
    {"A_REAL/COOK", "RealAudio Cook"},
    {"vorbis", "Vorbis"},
    {"OpusHead", "Opus"},
    {"FLAC", "FLAC"},
    {"Speex", "Speex"},
}};

bool Names(std::string_view row, std::string_view id) {
    if (id == row) return true;
    return row.size() > 4 && id.size() > row.size() && id.starts_with(row) && id[row.size()] == '/';
}

const CodecRow* Find(const auto& table, std::string_view id) {
    for (const CodecRow& row : table) {
        if (Names(row.id, id)) return &row;
    }
    return nullptr;
}

// AAC by the audio object type its configuration signals: SBR is HE-AAC, SBR with PS its v2.
std::string AacName(const TrackFacts& track) {
    if (track.audioObjectType == 29) return "HE-AAC v2";
    if (track.audioObjectType == 5) return "HE-AAC";
    return "AAC";
}

// MP4's mp4a and mp4v name their codec by the esds object type indication.
std::string Mp4aName(const TrackFacts& track) {
    switch (track.objectType) {
        case 0:  // no esds: AAC is what every writer puts there
        case 0x40:
        case 0x66:
        case 0x67:
        case 0x68:
            return AacName(track);
        case 0x69:
        case 0x6B:
            return "MP3";
        case 0xA5:
            return "AC-3";
        case 0xA6:
            return "E-AC-3";
        case 0xA9:
            return "DTS";
        case 0xAD:
            return "Opus";
        case 0xDD:
            return "Vorbis";
        default:
            return track.codecId;
    }
}

std::string Mp4vName(const TrackFacts& track) {
    const std::uint8_t type = track.objectType;
    if (type >= 0x60 && type <= 0x65) return "MPEG-2 Video";
    if (type == 0x6A) return "MPEG-1 Video";
    if (type == 0x6C) return "Motion JPEG";
    if (type == 0x21) return "H.264/AVC";
    return "MPEG-4 Visual";
}

}  // namespace

VideoCodecLookup ContainerVideoName(const TrackFacts& track) {
    const std::string& id = track.codecId;
    if (id == "V_MS/VFW/FOURCC") return VideoCodecName(track.fourcc);
    if (id == "mp4v") return {Mp4vName(track), false};
    if (const CodecRow* row = Find(VideoCodecs, id)) return {std::string(row->name), false};
    return {id, false};
}

std::string ContainerAudioName(const TrackFacts& track) {
    const std::string& id = track.codecId;
    if (id == "A_MS/ACM") return AudioCodecName(static_cast<std::int16_t>(track.formatTag));
    if (id == "mp4a") return Mp4aName(track);
    if (Names("A_AAC", id)) {
        // The IDs of the first Matroska files said SBR in their name.
        if (id.ends_with("/SBR") && track.audioObjectType == 0) return "HE-AAC";
        return AacName(track);
    }
    if (const CodecRow* row = Find(AudioCodecs, id)) return std::string(row->name);
    return id;
}

}  // namespace discstart
