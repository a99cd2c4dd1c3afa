#include "kit/avi_check.h"

#include <cstdint>
#include <optional>

#include "info/naming.h"

namespace discstart {

namespace {

const char* Remux =
    "remux the movie with a standard writer (video stream first, audio second, nothing between "
    "the header chunks)";

std::string Hex16(std::uint16_t value) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) out += hex[(value >> shift) & 15];
    return out;
}

std::string Describe(const RiffChunk& c) {
    std::string name = "'" + PrintableCode(c.id) + "'";
    if (!c.listType.empty()) name += " '" + PrintableCode(c.listType) + "'";
    return name + " at " + std::to_string(c.offset);
}

std::string StreamKind(const std::string& type) {
    if (type == "vids") return "a video stream";
    if (type == "auds") return "an audio stream";
    if (type == "txts") return "a subtitle stream";
    if (type == "mids") return "a MIDI stream";
    return "a stream of type '" + PrintableCode(type) + "'";
}

// One place where the launcher assumes a chunk: the role's chunk among `siblings` (from
// index `from` on) must begin exactly at `expected`.
struct Slot {
    const std::vector<RiffChunk>& siblings;
    std::size_t from;
    std::uint64_t expected;
    const char* role;
    bool (*isRole)(const RiffChunk&);
};

// Nothing when the slot holds; otherwise what the launcher meets instead.
std::optional<std::string> Misplaced(const Slot& slot) {
    std::size_t at = slot.from;
    while (at < slot.siblings.size() && !slot.isRole(slot.siblings[at])) ++at;
    if (at == slot.siblings.size()) return std::string("there is no ") + slot.role;
    const RiffChunk& found = slot.siblings[at];
    if (found.offset == slot.expected) return std::nullopt;
    std::string between;
    for (std::size_t i = slot.from; i < at; ++i)
        between += (between.empty() ? "" : ", ") + Describe(slot.siblings[i]);
    std::string where = "it reads the " + std::string(slot.role) + " at offset " +
                        std::to_string(slot.expected) + " but it starts at " + std::to_string(found.offset);
    if (!between.empty()) return where + " after " + between;
    if (found.offset == slot.expected + 1) return where + " after the pad byte of an odd-sized chunk";
    return where;
}

bool IsAvih(const RiffChunk& c) {
    return c.id == "avih";
}
bool IsStrl(const RiffChunk& c) {
    return c.isList("strl");
}
bool IsStrh(const RiffChunk& c) {
    return c.id == "strh";
}
bool IsStrf(const RiffChunk& c) {
    return c.id == "strf";
}
bool IsHdrl(const RiffChunk& c) {
    return c.isList("hdrl");
}

// Walks the chain of positions the launcher computes from the three sizes it reads.
std::optional<std::string> FirstMisread(const AviLayout& layout) {
    if (!layout.headerList) return std::string("there is no 'LIST' 'hdrl' header list");
    if (auto m = Misplaced({layout.movieChunks, 0, 12, "header list", IsHdrl})) return m;
    if (auto m = Misplaced({layout.headerChunks, 0, 24, "main header", IsAvih})) return m;
    const RiffChunk& avih = *FindChunk(layout.headerChunks, IsAvih);
    std::uint64_t firstList = 32 + std::uint64_t(avih.size);
    if (auto m = Misplaced({layout.headerChunks, 1, firstList, "first stream list", IsStrl})) return m;
    if (layout.streams.empty()) return std::nullopt;
    const StreamLayout& first = layout.streams[0];
    if (auto m = Misplaced({first.chunks, 0, firstList + 12, "first stream header", IsStrh})) return m;
    if (layout.streams.size() < 2) return std::nullopt;
    std::uint64_t secondList = first.list.end();
    if (auto m = Misplaced({layout.headerChunks, 2, secondList, "second stream list", IsStrl})) return m;
    const StreamLayout& second = layout.streams[1];
    if (auto m = Misplaced({second.chunks, 0, secondList + 12, "second stream header", IsStrh})) return m;
    const RiffChunk& strh = second.chunks.front();
    return Misplaced({second.chunks, 1, strh.end(), "second stream format", IsStrf});
}

void CheckStreams(const AviLayout& layout, const std::string& file, std::vector<Finding>& out) {
    const auto& streams = layout.streams;
    if (streams.empty()) return;
    if (streams[0].type != "vids") {
        out.push_back({Severity::Error, "avi-first-stream-not-video", file,
                       "the first stream is " + StreamKind(streams[0].type) +
                           ": the Video row shows its handler code '" + PrintableCode(streams[0].handler) +
                           "' and the audio rows show the wrong stream",
                       "remux the movie with the video stream first"});
    }
    if (streams.size() == 1) {
        out.push_back({Severity::Error, "avi-single-stream", file,
                       "the movie has one stream and no audio: the audio rows show whatever bytes lie after "
                       "the stream list",
                       "add an audio stream (a silent track will do) as the second stream"});
        return;
    }
    if (streams[0].type == "vids" && streams[1].type != "auds") {
        out.push_back({Severity::Error, "avi-second-stream-not-audio", file,
                       "the second stream is " + StreamKind(streams[1].type) +
                           ": the audio rows show its header's bytes",
                       "remux the movie with the audio stream directly after the video stream"});
    }
}

void CheckAudio(const AviLayout& layout, const std::string& file, std::vector<Finding>& out) {
    if (layout.streams.size() < 2 || !layout.streams[1].audio) return;
    const WaveFormat& audio = *layout.streams[1].audio;
    if (audio.formatTag == 0xFFFE) {
        std::string real = audio.subFormatTag ? AudioCodecName(std::int16_t(*audio.subFormatTag)) + " (" +
                                                    Hex16(*audio.subFormatTag) + ")"
                                              : "not stated (the format chunk is too short)";
        out.push_back({Severity::Warning, "avi-extensible-audio", file,
                       "the audio format tag is 0xFFFE (extensible): the Audio row shows \"" +
                           AudioCodecName(-2) + "\"; the real codec is " + real,
                       "rewrite the audio header with the codec's own format tag"});
    }
    if (audio.avgBytesPerSec == 0) {
        out.push_back(
            {Severity::Warning, "avi-vbr-audio", file,
             "the audio's average bytes per second is 0 (VBR audio): the audio Bitrate row shows \"" +
                 AudioBitrateText(0, true) + "\" and the video Bitrate row counts the audio in",
             "write the audio header with its average byte rate, or encode the audio at a constant "
             "bitrate"});
    }
}

// The panel shows an OpenDML film's whole size and length where it finds the extended header
// within the header list's first 64 KiB; say where it does not.
void CheckOpenDml(const AviLayout& layout, const AviHeaderInfo& header, const std::string& file,
                  std::vector<Finding>& out) {
    std::size_t extensions = 0;
    for (std::size_t i = 1; i < layout.top.size(); ++i)
        if (layout.top[i].isList("AVIX")) ++extensions;
    if (extensions == 0 || layout.top.empty() || header.openDmlFrames != 0) return;
    const RiffChunk& first = layout.top.front();
    std::string seen = "an OpenDML file of " + std::to_string(extensions + 1) + " RIFF chunks";
    if (header.openDmlLength == 0) {
        seen += " without an extended header (odml dmlh) where the launcher looks: the Filesize row shows " +
                MegabyteText(first.size) + " of " + MegabyteText(layout.fileLength) + " and the Length row";
    } else {
        seen += " whose extended header counts no frames: the Length row";
    }
    if (layout.main) {
        seen += " counts the first chunk's " + std::to_string(layout.main->totalFrames) + " frames";
    } else {
        seen += " counts the first chunk's frames";
    }
    out.push_back({Severity::Warning, "avi-opendml-short", file, seen,
                   "remux the movie with a writer that puts the extended header in the header list "
                   "(ffmpeg -i in.avi -c copy out.avi), or make it an MP4"});
}

}  // namespace

std::vector<Finding> CheckAviLayout(const AviLayout& layout, const AviHeaderInfo& header,
                                    const std::string& file) {
    std::vector<Finding> out;
    if (layout.headerList && layout.headerList->end() > layout.fileLength) {
        out.push_back({Severity::Error, "avi-truncated", file,
                       "the file ends inside its header list: the panel shows zeros and stray numbers",
                       "copy the movie again, the file is incomplete"});
        return out;
    }
    if (!layout.top.empty() && layout.top.front().end() > layout.fileLength) {
        out.push_back(
            {Severity::Warning, "avi-truncated", file,
             "the file is " + std::to_string(layout.top.front().end() - layout.fileLength) +
                 " bytes shorter than its RIFF header says: the movie is incomplete and the Filesize "
                 "row shows " +
                 MegabyteText(layout.top.front().size),
             "copy the movie again"});
    }
    if (auto misread = FirstMisread(layout)) {
        out.push_back({Severity::Error, "avi-extra-chunks", file,
                       "the header chunks are not where the launcher reads them (" + *misread +
                           "): the panel shows wrong numbers",
                       Remux});
    }
    CheckStreams(layout, file, out);
    CheckAudio(layout, file, out);
    CheckOpenDml(layout, header, file, out);
    return out;
}

}  // namespace discstart
