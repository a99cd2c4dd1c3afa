#include <algorithm>
#include <array>
#include <string_view>

#include "bytes/byte_window.h"
#include "check_support.h"
#include "info/ogg_panel.h"
#include "media/ogg/ogg_streams.h"

namespace discstart {

namespace {

// One read of the first block holds every field.
constexpr ReadLimits OggLimits{1, 1, Ogg::HeadBlock};
// A standard Ogg file: the first block, then one read at the end for the length.
constexpr ReadLimits OggStreamsLimits{1, 2, Ogg::HeadBlock + Ogg::TailBlock};

OggStreamInfo Marked() {
    return {Untouched, Untouched, Untouched, Untouched, Untouched, Untouched, Untouched};
}

// Channel counts without words keep the old text.
std::string ChannelsText(std::uint8_t channels, const std::string& before) {
    constexpr std::array<const char*, 6> words = {nullptr, "Mono",         "2 (stereo)",
                                                  nullptr, "Surround 4ch", "Surround 5ch"};
    return channels < words.size() && words[channels] ? words[channels] : before;
}

void ExpectText(const char* name, const std::string& read, const std::string& expected, Problems& problems) {
    Expect(read == expected, problems,
           std::string(name) + " is " + Quoted(read) + ", expected " + Quoted(expected));
}

void ExpectFixed(const char* name, const std::string& read, double value, int decimals,
                 const NumberFormat& format, Problems& problems) {
    Expect(IsFixedText(read, value, decimals, format), problems,
           std::string(name) + " " + Quoted(read) + " does not show " + std::to_string(value) + " with " +
               std::to_string(decimals) + " decimals in the format " + Quoted(format.decimalSeparator) + " " +
               Quoted(format.groupSeparator));
}

// The first block as the panel reads it, and the streams where it starts a standard Ogg file.
void ReadStandardOgg(const FileOpener& files, ContainerInfo& info) {
    const auto movie = files.open(MoviePath);
    if (!movie) return;
    const ByteWindow head = ByteWindow::Read(*movie, 0, Ogg::HeadBlock);
    if (!Ogg::IsStandardOgg(head)) return;
    info = {};
    Ogg::ReadOggStreams(*movie, head, files.length(MoviePath), info);
}

}  // namespace

Problems OggStreamsProblems(const ContainerInfo& info) {
    Problems problems = PlausibleProblems(info);
    Expect(info.brand.empty() || info.brand == "ogg", problems, "brand " + Quoted(info.brand));
    if (info.video) {
        const TrackFacts& video = *info.video;
        Expect(video.codecId == "theora" && video.channels == 0 && video.sampleRate == 0, problems,
               "a video track of " + Quoted(video.codecId) + " or with sound facts");
    }
    if (info.audio) {
        const TrackFacts& audio = *info.audio;
        constexpr std::array<std::string_view, 4> sounds = {"vorbis", "OpusHead", "FLAC", "Speex"};
        Expect(std::find(sounds.begin(), sounds.end(), audio.codecId) != sounds.end() && audio.width == 0 &&
                   audio.height == 0 && audio.framesPerSecond == 0,
               problems, "an audio track of " + Quoted(audio.codecId) + " or with picture facts");
    }
    return problems;
}

Problems OggInfoProblems(FileBytes file, const NumberFormat& format, const OggStreamInfo& before,
                         const OggStreamInfo& after) {
    Problems problems;
    ExpectText("videoCodec", after.videoCodec, TextAt(file, 37, 4), problems);
    const std::int32_t timeUnit = Int32At(file, 45);
    if (timeUnit == 0) {
        OggStreamInfo rest = after;
        rest.videoCodec = before.videoCodec;
        Expect(rest == before, problems, "a time unit of 0 did not stop the reading after the codec code");
        return problems;
    }
    ExpectFixed("frameRateText", after.frameRateText, 10'000'000.0 / timeUnit, 3, format, problems);
    ExpectText("widthText", after.widthText, std::to_string(Int32At(file, 73)), problems);
    ExpectText("heightText", after.heightText, std::to_string(Int32At(file, 77)), problems);
    ExpectText("channelsText", after.channelsText, ChannelsText(ByteAt(file, 124), before.channelsText),
               problems);
    ExpectText("sampleRateText", after.sampleRateText, std::to_string(Int32At(file, 125)) + " Hz", problems);
    ExpectFixed("bitrateText", after.bitrateText, Int32At(file, 133) / 1000.0, 2, format, problems);
    return problems;
}

Problems CheckOggInfo(FileBytes file) {
    Problems problems;
    for (const auto& format : {NumberFormat::English(), NumberFormat{",", "."}}) {
        Append(problems, CheckReading<OggStreamInfo>(
                             file, "ReadOggInfo", OggLimits, Marked(),
                             [&](const FileOpener& files, OggStreamInfo& info) {
                                 Ogg::ReadOggInfo(MoviePath, format, info, files);
                             },
                             [&](const OggStreamInfo& before, const OggStreamInfo& after) {
                                 return OggInfoProblems(file, format, before, after);
                             }));
    }
    Append(problems,
           CheckReading<ContainerInfo>(
               file, "ReadOggStreams", OggStreamsLimits, ContainerInfo{}, ReadStandardOgg,
               [](const ContainerInfo&, const ContainerInfo& after) { return OggStreamsProblems(after); }));
    return problems;
}

}  // namespace discstart
