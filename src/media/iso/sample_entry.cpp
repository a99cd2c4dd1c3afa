#include "media/iso/sample_entry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "bytes/bit_cast.h"
#include "media/codecs/aac_config.h"
#include "media/codecs/audio_config.h"

namespace discstart {

namespace Iso {

namespace {

// An entry's own fields and the configuration boxes after them lie in its first few hundred
// bytes; nothing further in is looked at.
constexpr std::uint64_t MaxEntryBytes = 4096;
constexpr std::uint64_t MaxEsdsBytes = 256;
constexpr std::uint64_t MaxConfigBytes = 64;
constexpr int MaxDescriptors = 8;
// More channels than any sound format carries is no channel count.
constexpr std::uint32_t MaxChannels = 255;

// Entries of a picture format; one of them in a sound track (or a sound format's in a video
// track) says nothing about the track. Any other entry is read by its track's kind.
constexpr std::array<std::string_view, 8> PictureEntries = {"avc1", "avc3", "hvc1", "hev1",
                                                            "av01", "vp09", "mp4v", "encv"};
constexpr std::array<std::string_view, 7> SoundEntries = {"mp4a", "Opus", "ac-3", "ec-3",
                                                          "fLaC", ".mp3", "enca"};

bool Lists(const auto& types, std::string_view type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

// Offsets in an entry's payload, after the six reserved bytes and the data reference index.
constexpr std::uint64_t VisualWidth = 24;
constexpr std::uint64_t VisualHeight = 26;
constexpr std::uint64_t VisualChildren = 78;
constexpr std::uint64_t SoundVersion = 8;
constexpr std::uint64_t SoundChannels = 16;
constexpr std::uint64_t SoundRate = 24;  // 16.16 fixed point
constexpr std::uint64_t SoundChildren = 28;
// QuickTime's sound description version 1 appends four 32-bit fields; version 2 keeps the
// version 0 fields as placeholders and states the rate as a 64-bit float and the channels after.
constexpr std::uint64_t SoundV1Children = 44;
constexpr std::uint64_t SoundV2Rate = 32;
constexpr std::uint64_t SoundV2Channels = 40;
constexpr std::uint64_t SoundV2Children = 64;

// Where the entry's configuration boxes start; nothing for a layout not known here.
std::uint64_t ReadSoundFields(const Payload& entry, TrackFacts& facts) {
    const std::uint16_t version = entry.u16(SoundVersion);
    if (version == 0 || version == 1) {
        facts.channels = entry.u16(SoundChannels);
        facts.sampleRate = entry.u32(SoundRate) >> 16;
        return version == 0 ? SoundChildren : SoundV1Children;
    }
    if (version == 2) {
        const double rate = BitCast<double>(entry.u64(SoundV2Rate));
        if (rate >= 1 && rate < 4.0e9) facts.sampleRate = static_cast<std::uint32_t>(std::llround(rate));
        facts.channels = entry.u32(SoundV2Channels);
        return SoundV2Children;
    }
    return NoEnd;
}

// An MPEG-4 descriptor: a tag, a size in up to four 7-bit groups, its bytes [start, end).
struct Descriptor {
    std::uint8_t tag = 0;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

std::optional<Descriptor> DescriptorAt(const Payload& bytes, std::uint64_t at, std::uint64_t end) {
    if (at >= end) return std::nullopt;
    Descriptor descriptor;
    descriptor.tag = bytes.u8(at++);
    std::uint64_t size = 0;
    for (int i = 0;; ++i) {
        if (i == 4 || at >= end) return std::nullopt;
        const std::uint8_t group = bytes.u8(at++);
        size = (size << 7) | (group & 0x7Fu);
        if (!(group & 0x80)) break;
    }
    if (size > end - at) return std::nullopt;
    descriptor.start = at;
    descriptor.end = at + size;
    return descriptor;
}

std::optional<Descriptor> FindDescriptor(const Payload& bytes, std::uint64_t at, std::uint64_t end,
                                         std::uint8_t tag) {
    for (int i = 0; i < MaxDescriptors; ++i) {
        const auto descriptor = DescriptorAt(bytes, at, end);
        if (!descriptor || descriptor->tag == tag) return descriptor;
        at = descriptor->end;
    }
    return std::nullopt;
}

// esds: version and flags, an ES_Descriptor holding the DecoderConfigDescriptor (object type,
// buffer size, maximum and average bit rate) and its DecoderSpecificInfo.
void ReadEsds(const Payload& esds, bool sound, TrackFacts& facts) {
    const auto stream = DescriptorAt(esds, 4, esds.size());
    if (!stream || stream->tag != 0x03) return;
    std::uint64_t at = stream->start + 2;  // ES_ID
    const std::uint8_t flags = esds.u8(at++);
    if (flags & 0x80) at += 2;                // dependsOn_ES_ID
    if (flags & 0x40) at += 1 + esds.u8(at);  // URL
    if (flags & 0x20) at += 2;                // OCR_ES_ID
    const auto config = FindDescriptor(esds, at, stream->end, 0x04);
    constexpr std::uint64_t configFields = 13;
    if (!config || config->end - config->start < configFields) return;
    facts.objectType = esds.u8(config->start);
    if (const std::uint32_t average = esds.u32(config->start + 9)) facts.bitrate = average;
    constexpr std::uint8_t mpeg4Audio = 0x40;
    if (!sound || facts.objectType != mpeg4Audio) return;
    const auto specific = FindDescriptor(esds, config->start + configFields, config->end, 0x05);
    if (!specific) return;
    const auto aac =
        Aac::ReadAudioSpecificConfig(esds.text(specific->start, specific->end - specific->start));
    if (!aac) return;
    facts.audioObjectType = aac->objectType;
    if (aac->sampleRate != 0) facts.sampleRate = aac->sampleRate;
    if (aac->channels != 0) facts.channels = aac->channels;
}

void ReadConfigBox(BoxFile& boxes, const Box& box, const std::string& entry, bool sound, TrackFacts& facts,
                   int depth) {
    const auto& type = box.type;
    if (type == "esds") {
        ReadEsds(boxes.payload(box, MaxEsdsBytes), sound, facts);
        return;
    }
    if (type == "wave" && depth == 0) {
        // QuickTime keeps a sound entry's esds inside a wave box.
        boxes.children(box, 0, [&](const Box& child) {
            ReadConfigBox(boxes, child, entry, sound, facts, depth + 1);
            return true;
        });
        return;
    }
    const Payload bytes = boxes.payload(box, MaxConfigBytes);
    if (!bytes.held()) return;
    if (type == "btrt") {
        // A bit rate the codec's own configuration states comes first.
        if (facts.bitrate == 0 && bytes.fits(8, 4)) facts.bitrate = bytes.u32(8);
    } else if (type == "dOps" && entry == "Opus") {
        if (bytes.fits(0, 2) && bytes.u8(0) == 0) facts.channels = bytes.u8(1);
    } else if (type == "dac3" && entry == "ac-3") {
        ReadAc3Config(bytes.text(0, bytes.size()), facts);
    } else if (type == "dec3" && entry == "ec-3") {
        ReadEac3Config(bytes.text(0, bytes.size()), facts);
    } else if (type == "dfLa" && entry == "fLaC") {
        if (bytes.u32(0) == 0) ReadFlacConfig(bytes.text(4, bytes.size()), facts);
    }
}

// sinf/frma of a protected entry: the format the entry had before it was encrypted.
std::string OriginalFormat(BoxFile& boxes, const Box& fields, std::uint64_t children) {
    std::string format;
    boxes.children(fields, children, [&](const Box& child) {
        if (child.type != "sinf") return true;
        boxes.children(child, 0, [&](const Box& scheme) {
            if (scheme.type == "frma") {
                const Payload bytes = boxes.payload(scheme, 4);
                if (bytes.fits(0, 4)) format = bytes.text(0, 4);
            }
            return format.empty();
        });
        return format.empty();  // a scheme without frma, perhaps another one follows
    });
    return format;
}

// The channel count of an ISO entry is a template that writers fill with 2 whatever an MPEG
// audio stream holds (a mono MP3 too), and AMR is mono by definition; QuickTime's is the count.
void MendTemplateChannels(const std::string& format, bool quickTime, TrackFacts& facts) {
    constexpr std::uint8_t mpeg2Audio = 0x69;
    constexpr std::uint8_t mpeg1Audio = 0x6B;
    if (format == "samr" || format == "sawb") facts.channels = 1;
    if (quickTime) return;
    if (format == ".mp3" ||
        (format == "mp4a" && (facts.objectType == mpeg1Audio || facts.objectType == mpeg2Audio)))
        facts.channels = 0;
}

}  // namespace

void ReadSampleEntry(BoxFile& boxes, const Box& stsd, const EntryContext& context, TrackFacts& facts) {
    // version and flags, the entry count, then the first entry
    constexpr std::uint64_t entries = 8;
    if (stsd.payloadSize() < entries) return;
    const auto entry = boxes.boxAt(stsd.payload + entries, stsd.end);
    if (!entry) return;
    facts.codecId = entry->type;
    if (context.video ? Lists(SoundEntries, entry->type) : Lists(PictureEntries, entry->type)) return;

    Box fields = *entry;
    fields.end = std::min(entry->end, entry->payload + MaxEntryBytes);
    const Payload bytes = boxes.payload(fields, MaxEntryBytes);
    if (!bytes.held()) return;
    std::uint64_t children = VisualChildren;
    if (context.video) {
        facts.width = bytes.u16(VisualWidth);
        facts.height = bytes.u16(VisualHeight);
    } else {
        children = ReadSoundFields(bytes, facts);
    }
    if (entry->type == "encv" || entry->type == "enca") {
        const std::string original = OriginalFormat(boxes, fields, children);
        if (!original.empty()) facts.codecId = original;
    }
    // Opus always decodes at 48 kHz, whatever rate the input had.
    if (facts.codecId == "Opus") facts.sampleRate = 48000;
    boxes.children(fields, children, [&](const Box& child) {
        ReadConfigBox(boxes, child, facts.codecId, !context.video, facts, 0);
        return true;
    });
    if (!context.video) MendTemplateChannels(facts.codecId, context.quickTime, facts);
    if (facts.channels > MaxChannels) facts.channels = 0;
}

}  // namespace Iso

}  // namespace discstart
