#include "kit/ogg_check.h"

#include <optional>

#include "media/ogg/ogg_pages.h"

namespace discstart {

namespace {

constexpr std::uint64_t VideoPacket = 28;
constexpr std::uint64_t SecondPage = 85;
constexpr std::uint64_t VorbisPacket = 113;

// What a stream's first packet says it is, for messages.
std::string DescribeOggPacket(const std::string& firstBytes) {
    if (IsOgmVideoHeader(firstBytes))
        return "an OGM video header (" + PrintableCode(firstBytes.substr(9, 4)) + ")";
    if (IsVorbisIdentification(firstBytes)) return "a Vorbis identification header";
    if (firstBytes.starts_with("\x03vorbis")) return "a Vorbis comment header";
    if (firstBytes.starts_with("\x05vorbis")) return "a Vorbis setup header";
    if (firstBytes.starts_with("\x80theora")) return "a Theora header";
    if (firstBytes.starts_with("OpusHead")) return "an Opus header";
    if (firstBytes.starts_with("\x7f"
                               "FLAC"))
        return "a FLAC header";
    if (firstBytes.starts_with("\x01"
                               "audio"))
        return "an OGM audio header";
    if (firstBytes.starts_with("\x01text")) return "an OGM text header";
    if (firstBytes.empty()) return "an empty packet";
    return "an unknown packet (" + PrintableCode(firstBytes.substr(0, 8)) + ")";
}

const char* Garbage = ": the panel shows garbage";
const char* Remux =
    "remux with the video stream's header alone on the first page and the Vorbis stream's "
    "identification header alone on the second (ogmmerge, video first)";

Finding Bad(const char* code, const std::string& name, const std::string& seen) {
    return {Severity::Error, code, name, seen + Garbage, Remux};
}

std::optional<Finding> FirstPage(const std::optional<OggPage>& page, const std::string& name) {
    const char* code = "ogg-first-page";
    if (!page) return Bad(code, name, "there is no whole Ogg page at the start of the file");
    if (!page->complete) return Bad(code, name, "the file ends inside its first page");
    if (!IsOgmVideoHeader(page->firstBytes))
        return Bad(code, name,
                   "the first page holds " + DescribeOggPacket(page->firstBytes) + ", not the video header");
    if (page->bodyOffset != VideoPacket)
        return Bad(code, name,
                   "the video header starts at offset " + std::to_string(page->bodyOffset) + ", not 28");
    return std::nullopt;
}

std::optional<Finding> SecondPageAt85(const std::optional<OggPage>& first, const std::optional<OggPage>& page,
                                      const std::string& name) {
    const char* code = "ogg-second-page";
    if (!page) {
        std::string real;
        if (first && first->next() == SecondPage) real = ", the file ends after the first page";
        if (first && first->next() != SecondPage)
            real = ", the second page starts at " + std::to_string(first->next());
        return Bad(code, name, "no Ogg page starts at offset 85" + real);
    }
    if (!page->complete) return Bad(code, name, "the file ends inside the page at offset 85");
    if (!IsVorbisIdentification(page->firstBytes))
        return Bad(code, name,
                   "the page at offset 85 holds " + DescribeOggPacket(page->firstBytes) +
                       ", not the Vorbis identification header");
    if (page->bodyOffset != VorbisPacket)
        return Bad(code, name,
                   "the Vorbis identification header starts at offset " + std::to_string(page->bodyOffset) +
                       ", not 113");
    return std::nullopt;
}

}  // namespace

std::vector<Finding> CheckOggPages(ByteFile& file, const std::string& name) {
    std::vector<Finding> out;
    auto first = ReadOggPage(file, 0);
    if (auto f = FirstPage(first, name)) out.push_back(*f);
    if (auto f = SecondPageAt85(first, ReadOggPage(file, SecondPage), name)) out.push_back(*f);
    return out;
}

}  // namespace discstart
