#include "media/matroska/sections.h"

#include <cmath>
#include <limits>

namespace discstart {

namespace {

namespace Id {
constexpr std::uint64_t TimestampScale = 0x2AD7B1;
constexpr std::uint64_t Duration = 0x4489;
constexpr std::uint64_t Title = 0x7BA9;
constexpr std::uint64_t MuxingApp = 0x4D80;
constexpr std::uint64_t WritingApp = 0x5741;

constexpr std::uint64_t TrackEntry = 0xAE;
constexpr std::uint64_t TrackType = 0x83;
constexpr std::uint64_t TrackUid = 0x73C5;
constexpr std::uint64_t TrackNumber = 0xD7;
constexpr std::uint64_t CodecId = 0x86;
constexpr std::uint64_t CodecPrivate = 0x63A2;
constexpr std::uint64_t DefaultDuration = 0x23E383;
constexpr std::uint64_t Video = 0xE0;
constexpr std::uint64_t PixelWidth = 0xB0;
constexpr std::uint64_t PixelHeight = 0xBA;
constexpr std::uint64_t Audio = 0xE1;
constexpr std::uint64_t SamplingFrequency = 0xB5;
constexpr std::uint64_t OutputSamplingFrequency = 0x78B5;
constexpr std::uint64_t Channels = 0x9F;

constexpr std::uint64_t Tag = 0x7373;
constexpr std::uint64_t Targets = 0x63C0;
constexpr std::uint64_t TargetTypeValue = 0x68CA;
constexpr std::uint64_t TagTrackUid = 0x63C5;
constexpr std::uint64_t TagEditionUid = 0x63C9;
constexpr std::uint64_t TagChapterUid = 0x63C4;
constexpr std::uint64_t TagAttachmentUid = 0x63C6;
constexpr std::uint64_t SimpleTag = 0x67C8;
constexpr std::uint64_t TagName = 0x45A3;
constexpr std::uint64_t TagString = 0x4487;
}  // namespace Id

constexpr std::size_t MaxText = 1024;
constexpr std::size_t MaxCodecId = 64;
constexpr std::size_t MaxTrackBitrates = 64;
constexpr std::uint64_t TrackTypeVideo = 1;
constexpr std::uint64_t TrackTypeAudio = 2;
constexpr std::uint64_t MovieLevel = 50;

std::uint32_t Clamped32(std::optional<std::uint64_t> value) {
    return value && *value <= std::numeric_limits<std::uint32_t>::max() ? static_cast<std::uint32_t>(*value)
                                                                        : 0;
}

std::uint32_t SampleRate(double hertz) {
    if (!std::isfinite(hertz) || hertz < 1 || hertz >= 4294967295.0) return 0;
    return static_cast<std::uint32_t>(std::llround(hertz));
}

struct AudioElements {
    double samplingFrequency = 8000;  // what an absent element stands for
    std::optional<double> outputFrequency;
    std::optional<std::uint64_t> channels = 1;
};

void ReadAudio(const ByteWindow& window, const EbmlElement& audio, AudioElements& found) {
    ForEachEbmlChild(window, audio.dataStart, audio.end(), [&](const EbmlElement& child) {
        if (child.id == Id::SamplingFrequency) found.samplingFrequency = EbmlFloat(window, child).value_or(0);
        if (child.id == Id::OutputSamplingFrequency) found.outputFrequency = EbmlFloat(window, child);
        if (child.id == Id::Channels) found.channels = EbmlUint(window, child);
        return true;
    });
}

void ReadTrackEntry(const ByteWindow& window, const EbmlElement& entry, MatroskaSections& sections) {
    std::uint64_t type = 0;
    MatroskaTrack track;
    std::optional<EbmlElement> codecPrivate;
    std::uint64_t defaultDuration = 0;
    AudioElements audio;
    ForEachEbmlChild(window, entry.dataStart, entry.end(), [&](const EbmlElement& child) {
        switch (child.id) {
            case Id::TrackType:
                type = EbmlUint(window, child).value_or(0);
                break;
            case Id::TrackNumber:
                track.number = EbmlUint(window, child).value_or(0);
                break;
            case Id::TrackUid:
                track.uid = EbmlUint(window, child).value_or(0);
                break;
            case Id::CodecId:
                track.facts.codecId = EbmlString(window, child, MaxCodecId);
                break;
            case Id::CodecPrivate:
                codecPrivate = child;
                break;
            case Id::DefaultDuration:
                defaultDuration = EbmlUint(window, child).value_or(0);
                break;
            case Id::Video:
                ForEachEbmlChild(window, child.dataStart, child.end(), [&](const EbmlElement& field) {
                    if (field.id == Id::PixelWidth) track.facts.width = Clamped32(EbmlUint(window, field));
                    if (field.id == Id::PixelHeight) track.facts.height = Clamped32(EbmlUint(window, field));
                    return true;
                });
                break;
            case Id::Audio:
                ReadAudio(window, child, audio);
                break;
            default:
                break;
        }
        return true;
    });

    if (type == TrackTypeVideo && !sections.video) {
        if (defaultDuration > 0) track.facts.framesPerSecond = 1e9 / static_cast<double>(defaultDuration);
    } else if (type == TrackTypeAudio && !sections.audio) {
        track.facts.width = track.facts.height = 0;
        // The rate the decoder puts out: twice the stored one for HE-AAC.
        track.facts.sampleRate = SampleRate(audio.outputFrequency.value_or(audio.samplingFrequency));
        track.facts.channels = Clamped32(audio.channels);
    } else {
        return;
    }
    ReadCodecDetails(window, codecPrivate ? &*codecPrivate : nullptr, track.facts);
    (type == TrackTypeVideo ? sections.video : sections.audio) = std::move(track);
}

// A decimal count as the statistics tags write it; nothing for anything else.
std::optional<std::uint64_t> DecimalValue(const std::string& text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

struct TagTarget {
    bool movieLevel = true;
    std::uint64_t trackUid = 0;
};

TagTarget ReadTargets(const ByteWindow& window, const EbmlElement& tag) {
    TagTarget target;
    ForEachEbmlChild(window, tag.dataStart, tag.end(), [&](const EbmlElement& child) {
        if (child.id != Id::Targets) return true;
        ForEachEbmlChild(window, child.dataStart, child.end(), [&](const EbmlElement& field) {
            const std::uint64_t value = EbmlUint(window, field).value_or(0);
            switch (field.id) {
                case Id::TargetTypeValue:
                    if (value != MovieLevel) target.movieLevel = false;
                    break;
                case Id::TagTrackUid:
                    // A UID of 0 stands for every track, as if none were named.
                    if (value != 0 && target.trackUid == 0) target.trackUid = value;
                    if (value != 0) target.movieLevel = false;
                    break;
                case Id::TagEditionUid:
                case Id::TagChapterUid:
                case Id::TagAttachmentUid:
                    if (value != 0) target.movieLevel = false;
                    break;
                default:
                    break;
            }
            return true;
        });
        return false;
    });
    return target;
}

void Keep(std::string& field, const std::string& value) {
    if (field.empty()) field = value;
}

void ReadSimpleTag(const ByteWindow& window, const EbmlElement& simple, const TagTarget& target,
                   MatroskaSections& sections) {
    std::string name;
    std::string value;
    ForEachEbmlChild(window, simple.dataStart, simple.end(), [&](const EbmlElement& child) {
        if (child.id == Id::TagName) name = EbmlString(window, child, MaxText);
        if (child.id == Id::TagString) value = EbmlString(window, child, MaxText);
        return true;
    });
    if (target.movieLevel) {
        MovieTags& tags = sections.tags;
        if (name == "TITLE") Keep(tags.title, value);
        if (name == "ARTIST") Keep(tags.author, value);
        if (name == "DIRECTOR") Keep(sections.director, value);
        if (name == "COPYRIGHT") Keep(tags.copyright, value);
        if (name == "GENRE") Keep(tags.genre, value);
        if (name == "ENCODER") Keep(tags.software, value);
        return;
    }
    // The statistics a muxer stores per track; a remux may add the tag's language ("BPS-eng").
    const bool bitrate = name == "BPS" || name.starts_with("BPS-");
    const auto bitsPerSecond = DecimalValue(value);
    if (bitrate && target.trackUid != 0 && bitsPerSecond &&
        sections.trackBitrates.size() < MaxTrackBitrates) {
        sections.trackBitrates.emplace_back(target.trackUid, *bitsPerSecond);
    }
}

std::uint64_t StoredBitrate(const MatroskaSections& sections, const MatroskaTrack& track) {
    if (track.uid == 0) return 0;
    for (const auto& [uid, bitsPerSecond] : sections.trackBitrates) {
        if (uid == track.uid) return bitsPerSecond;
    }
    return 0;
}

}  // namespace

void ReadMatroskaInfo(const ByteWindow& window, const EbmlElement& info, MatroskaSections& sections) {
    if (sections.infoRead) return;
    sections.infoRead = true;
    ForEachEbmlChild(window, info.dataStart, info.end(), [&](const EbmlElement& child) {
        switch (child.id) {
            case Id::TimestampScale:
                if (const auto scale = EbmlUint(window, child); scale && *scale > 0)
                    sections.timestampScale = *scale;
                break;
            case Id::Duration:
                sections.durationTicks = EbmlFloat(window, child);
                break;
            case Id::Title:
                sections.title = EbmlString(window, child, MaxText);
                break;
            case Id::MuxingApp:
                sections.muxingApp = EbmlString(window, child, MaxText);
                break;
            case Id::WritingApp:
                sections.writingApp = EbmlString(window, child, MaxText);
                break;
            default:
                break;
        }
        return true;
    });
}

void ReadMatroskaTracks(const ByteWindow& window, const EbmlElement& tracks, MatroskaSections& sections) {
    if (sections.tracksRead) return;
    sections.tracksRead = true;
    ForEachEbmlChild(window, tracks.dataStart, tracks.end(), [&](const EbmlElement& child) {
        if (child.id == Id::TrackEntry) ReadTrackEntry(window, child, sections);
        return !sections.video || !sections.audio;
    });
}

void ReadMatroskaTags(const ByteWindow& window, const EbmlElement& tags, MatroskaSections& sections) {
    if (sections.tagsRead) return;
    sections.tagsRead = true;
    ForEachEbmlChild(window, tags.dataStart, tags.end(), [&](const EbmlElement& tag) {
        if (tag.id != Id::Tag) return true;
        const TagTarget target = ReadTargets(window, tag);
        ForEachEbmlChild(window, tag.dataStart, tag.end(), [&](const EbmlElement& child) {
            if (child.id == Id::SimpleTag) ReadSimpleTag(window, child, target, sections);
            return true;
        });
        return true;
    });
}

void ApplyMatroskaSections(const MatroskaSections& sections, ContainerInfo& info) {
    if (sections.durationTicks) {
        const double seconds = *sections.durationTicks * static_cast<double>(sections.timestampScale) / 1e9;
        if (std::isfinite(seconds) && seconds >= 0) info.durationSeconds = seconds;
    }
    for (auto [track, facts] :
         {std::pair{&sections.video, &info.video}, std::pair{&sections.audio, &info.audio}}) {
        if (!*track) continue;
        *facts = (*track)->facts;
        if (const std::uint64_t stored = StoredBitrate(sections, **track)) (*facts)->bitrate = stored;
    }
    // A TITLE tag for the whole film wins over Info's Title: a tag editor changes the tag and
    // leaves Info alone, and ffprobe shows the tag too.
    info.tags = sections.tags;
    Keep(info.tags.title, sections.title);
    Keep(info.tags.author, sections.director);
    // The program the author ran names the film's maker better than the library it used.
    Keep(info.tags.software, sections.writingApp);
    Keep(info.tags.software, sections.muxingApp);
}

}  // namespace discstart
