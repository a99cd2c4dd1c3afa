#include "check_support.h"
#include "media/riff/avi_header.h"

#include <utility>

namespace discstart {

namespace {

// One first block and one extra block for each of the three computed places; a file longer
// than its first RIFF chunk one read more, of the header list's first 64 KiB.
constexpr ReadLimits AviLimits{1, 5, 8192};
constexpr ReadLimits LongerAviLimits{1, 6, 8192 + 65536};

bool LongerThanFirstChunk(FileBytes file) {
    return file.size() > std::uint64_t{static_cast<std::uint32_t>(Int32At(file, 4))} + 8;
}

// Sizes at which no position computation can overflow or go negative: there the layout's
// offsets hold exactly, whatever the reader does in the corner cases.
bool PlainSize(std::int32_t size) {
    return size >= 0 && size < (1 << 24);
}

AviHeaderInfo Marked() {
    constexpr std::int32_t mark = 0x5A5A5A5A;
    return {Untouched, mark,   mark,   mark, mark, mark, mark, mark, Untouched,
            mark,      0x5A5A, 0x5A5A, mark, mark, mark, mark, mark, mark};
}

struct NumberField {
    const char* name;
    std::int64_t read;
    std::int64_t expected;
};

void ExpectFields(std::initializer_list<NumberField> fields, Problems& problems) {
    for (const auto& field : fields) {
        Expect(field.read == field.expected, problems,
               std::string(field.name) + " is " + std::to_string(field.read) + ", the file holds " +
                   std::to_string(field.expected));
    }
}

void ExpectAviFields(FileBytes file, const AviHeaderInfo& info, Problems& problems) {
    Expect(info.signature == "AVI ", problems, "an AVI reading kept the signature " + Quoted(info.signature));
    ExpectFields({{"riffSize", info.riffSize, Int32At(file, 4)},
                  {"avihSize", info.avihSize, Int32At(file, 28)},
                  {"microSecPerFrame", info.microSecPerFrame, Int32At(file, 32)},
                  {"totalFrames", info.totalFrames, Int32At(file, 48)},
                  {"width", info.width, Int32At(file, 64)},
                  {"height", info.height, Int32At(file, 68)}},
                 problems);
    Expect(info.videoCodec.size() == 4, problems, "videoCodec is not four bytes: " + Quoted(info.videoCodec));
    // Only a file longer than its first chunk is an OpenDML film, and its length is the file's.
    Expect(info.openDmlLength == 0 ||
               (LongerThanFirstChunk(file) && info.openDmlLength == std::int64_t(file.size())),
           problems, "openDmlLength is " + std::to_string(info.openDmlLength));
    Expect(info.openDmlLength != 0 || info.openDmlFrames == 0, problems,
           "openDmlFrames without an OpenDML film");

    const std::int32_t a = Int32At(file, 28);
    if (!PlainSize(a)) return;
    const std::int32_t s = Int32At(file, 36 + a);
    ExpectFields(
        {{"videoListSize", info.videoListSize, s}, {"videoStreamDataPos", info.videoStreamDataPos, 52 + a}},
        problems);
    Expect(info.videoCodec == TextAt(file, 56 + a, 4), problems,
           "videoCodec " + Quoted(info.videoCodec) + " is not the handler code " +
               Quoted(TextAt(file, 56 + a, 4)));
    if (!PlainSize(s)) return;
    const std::int32_t h = Int32At(file, 56 + a + s);
    ExpectFields({{"audioStreamDataPos", info.audioStreamDataPos, 60 + a + s},
                  {"audioHeaderSize", info.audioHeaderSize, h}},
                 problems);
    if (!PlainSize(h)) return;
    const std::int64_t format = 68 + a + s + h;
    ExpectFields({{"audioFormatTag", info.audioFormatTag, Int16At(file, format)},
                  {"audioChannels", info.audioChannels, Int16At(file, format + 2)},
                  {"audioSampleRate", info.audioSampleRate, Int32At(file, format + 4)},
                  {"audioBytesPerSec", info.audioBytesPerSec, Int32At(file, format + 8)}},
                 problems);
}

}  // namespace

Problems AviHeaderProblems(FileBytes file, const AviHeaderInfo& before, MovieFileKind kind,
                           const AviHeaderInfo& after) {
    Problems problems;
    const MovieFileKind expected = ExpectedKind(file);
    Expect(
        kind == expected, problems,
        std::string("ReadAviHeader says ") + KindName(kind) + ", the signature says " + KindName(expected));
    if (kind == MovieFileKind::Avi) {
        ExpectAviFields(file, after, problems);
        return problems;
    }
    // Only the signature compared last may change when the file is not an AVI file.
    const std::string signature = TextAt(file, kind == MovieFileKind::OggMedia ? 0 : 8, 4);
    Expect(after.signature == signature, problems,
           "signature " + Quoted(after.signature) + " is not the bytes compared, " + Quoted(signature));
    AviHeaderInfo rest = after;
    rest.signature = before.signature;
    Expect(rest == before, problems,
           std::string("a reading of kind ") + KindName(kind) + " changed header numbers");
    return problems;
}

Problems CheckAviHeader(FileBytes file) {
    using Reading = std::pair<MovieFileKind, AviHeaderInfo>;
    return CheckReading<Reading>(
        file, "ReadAviHeader", LongerThanFirstChunk(file) ? LongerAviLimits : AviLimits,
        Reading{MovieFileKind::Other, Marked()},
        [](const FileOpener& files, Reading& reading) {
            reading.first = ReadAviHeader(MoviePath, reading.second, files);
        },
        [&](const Reading& before, const Reading& after) {
            return AviHeaderProblems(file, before.second, after.first, after.second);
        });
}

}  // namespace discstart
