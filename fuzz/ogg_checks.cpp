#include <array>

#include "check_support.h"
#include "info/ogg_panel.h"

namespace discstart {

namespace {

// One read of the first block holds every field.
constexpr ReadLimits OggLimits{1, 1, Ogg::HeadBlock};

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

}  // namespace

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
    for (const auto& format : {NumberFormat::English(), NumberFormat::German()}) {
        Append(problems, CheckReading<OggStreamInfo>(
                             file, "ReadOggInfo", OggLimits, Marked(),
                             [&](const FileOpener& files, OggStreamInfo& info) {
                                 Ogg::ReadOggInfo(MoviePath, format, info, files);
                             },
                             [&](const OggStreamInfo& before, const OggStreamInfo& after) {
                                 return OggInfoProblems(file, format, before, after);
                             }));
    }
    return problems;
}

}  // namespace discstart
