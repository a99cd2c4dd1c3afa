#include "info/container_naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discstart {

namespace {

TrackFacts Track(std::string id, std::uint8_t objectType = 0, std::uint8_t audioObjectType = 0) {
    TrackFacts track;
    track.codecId = std::move(id);
    track.objectType = objectType;
    track.audioObjectType = audioObjectType;
    return track;
}

struct NameCase {
    TrackFacts track;
    std::string name;
    bool xvidPicture = false;
};

TEST(ContainerVideoName, SampleEntriesCodecIdsAndTheAviTable) {
    TrackFacts xvid = Track("V_MS/VFW/FOURCC");
    xvid.fourcc = "XVID";
    TrackFacts divx = Track("V_MS/VFW/FOURCC");
    divx.fourcc = "DX50";
    const std::vector<NameCase> cases = {
        {Track("avc1"), "H.264/AVC"},
        {Track("avc3"), "H.264/AVC"},
        {Track("hvc1"), "H.265/HEVC"},
        {Track("hev1"), "H.265/HEVC"},
        {Track("av01"), "AV1"},
        {Track("vp09"), "VP9"},
        {Track("mp4v", 0x20), "MPEG-4 Visual"},
        {Track("mp4v"), "MPEG-4 Visual"},
        {Track("mp4v", 0x61), "MPEG-2 Video"},
        {Track("mp4v", 0x6A), "MPEG-1 Video"},
        {Track("V_MPEG4/ISO/AVC"), "H.264/AVC"},
        {Track("V_MPEGH/ISO/HEVC"), "H.265/HEVC"},
        {Track("V_AV1"), "AV1"},
        {Track("V_VP9"), "VP9"},
        {Track("V_VP8"), "VP8"},
        {Track("V_MPEG4/ISO/ASP"), "MPEG-4 Visual"},
        {Track("V_MPEG2"), "MPEG-2 Video"},
        {Track("V_THEORA"), "Theora"},
        {xvid, "Xvid MPEG-4", true},
        {divx, "DX50"},
        // Exact and case-sensitive; an unknown identifier shows as stored.
        {Track("AVC1"), "AVC1"},
        {Track("v_vp9"), "v_vp9"},
        {Track("V_VP9X"), "V_VP9X"},
        {Track("V_VP9/extra"), "VP9"},
        {Track("avc1/x"), "avc1/x"},
        {Track("V_MS/VFW/FOURCC"), ""},
        {Track(""), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.track.codecId + " " + c.track.fourcc);
        const VideoCodecLookup lookup = ContainerVideoName(c.track);
        EXPECT_EQ(lookup.name, c.name);
        EXPECT_EQ(lookup.xvidPicture, c.xvidPicture);
    }
}

TEST(ContainerAudioName, SampleEntriesCodecIdsAndTheAviTable) {
    TrackFacts acm = Track("A_MS/ACM");
    acm.formatTag = 0x55;
    TrackFacts acmUnknown = Track("A_MS/ACM");
    acmUnknown.formatTag = 0xFFFE;
    const std::vector<NameCase> cases = {
        {Track("mp4a", 0x40, 2), "AAC"},
        {Track("mp4a", 0x40, 5), "HE-AAC"},
        {Track("mp4a", 0x40, 29), "HE-AAC v2"},
        {Track("mp4a", 0x67), "AAC"},
        {Track("mp4a"), "AAC"},
        {Track("mp4a", 0x6B), "MP3"},
        {Track("mp4a", 0x69), "MP3"},
        {Track("mp4a", 0xA5), "AC-3"},
        {Track("mp4a", 0xAD), "Opus"},
        {Track("mp4a", 0x11), "mp4a"},
        {Track("Opus"), "Opus"},
        {Track("ac-3"), "AC-3"},
        {Track("ec-3"), "E-AC-3"},
        {Track("fLaC"), "FLAC"},
        {Track(".mp3"), "MP3"},
        {Track("A_AAC", 0, 2), "AAC"},
        {Track("A_AAC", 0, 5), "HE-AAC"},
        {Track("A_AAC/MPEG4/LC/SBR"), "HE-AAC"},
        {Track("A_AAC/MPEG4/LC"), "AAC"},
        {Track("A_OPUS"), "Opus"},
        {Track("A_VORBIS"), "Vorbis"},
        {Track("A_AC3"), "AC-3"},
        {Track("A_AC3/BSID9"), "AC-3"},
        {Track("A_EAC3"), "E-AC-3"},
        {Track("A_DTS/LOSSLESS"), "DTS"},
        {Track("A_FLAC"), "FLAC"},
        {Track("A_MPEG/L3"), "MP3"},
        {Track("A_MPEG/L2"), "MP2"},
        {Track("A_PCM/INT/LIT"), "PCM"},
        {acm, "MPEG-1 Layer 3"},
        {acmUnknown, "-2"},
        {Track("A_OPUSX"), "A_OPUSX"},
        {Track("flac"), "flac"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.track.codecId);
        EXPECT_EQ(ContainerAudioName(c.track), c.name);
    }
}

}  // namespace

}  // namespace discstart
