#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "media/container.h"
#include "media/matroska/block_times.h"
#include "media/matroska/ebml_element.h"
#include "media/matroska/sections.h"

namespace discstart {

namespace {

constexpr std::uint64_t Unbounded = std::numeric_limits<std::uint64_t>::max();

// Beyond the head: a first block at each place the SeekHead names, one more read where a
// section is longer, within a budget that keeps a whole reading to six read calls.
constexpr std::size_t ProbeBlock = 4096;
constexpr int MaxExtraReads = 5;
constexpr std::uint64_t MaxExtraBytes = std::uint64_t{512} * 1024;
// The longest EBML element header: an 8-byte ID and an 8-byte size.
constexpr std::size_t MaxHeader = 16;
// Without DefaultDuration: the start of the first Cluster, for its block times.
constexpr std::size_t ClusterBlock = std::size_t{256} * 1024;

// How much of a section is worth reading; a longer one is read as far as this.
std::uint64_t SectionCap(std::uint64_t id) {
    switch (id) {
        case MatroskaId::Tracks:
        case MatroskaId::Tags:
            return std::uint64_t{256} * 1024;
        default:
            return std::uint64_t{64} * 1024;
    }
}

// What may stand between the Segment's sections besides them: anything else is junk.
bool IsSegmentChild(std::uint64_t id) {
    constexpr std::uint64_t Void = 0xEC;
    constexpr std::uint64_t Crc32 = 0xBF;
    return id == Void || id == Crc32 || IsMatroskaTopLevelId(id);
}

constexpr std::array<std::uint64_t, 3> SectionIds = {MatroskaId::Info, MatroskaId::Tracks, MatroskaId::Tags};

class MatroskaReader {
  public:
    MatroskaReader(ByteFile& file, const ByteWindow& head) : file_(file), head_(head) {}

    void read(ContainerInfo& info) {
        if (!readEbmlHeader(info.brand) || !findSegment()) return;
        walk(segmentStart_, false);
        followSeekHeads();
        // Without a SeekHead that names them, Info and Tracks are looked for up to the first
        // Cluster, a read at a time.
        if (resume_ && (!placeOf(MatroskaId::Info) || !placeOf(MatroskaId::Tracks))) {
            walk(*resume_, true);
            followSeekHeads();
        }
        readSections();
        // A SeekHead that named wrong places for them: the walk finds them instead.
        if (resume_ && (!sections_.infoRead || !sections_.tracksRead)) {
            walk(*resume_, true);
            readSections();
        }
        readBlockTimes();
        info.hasSeekHead = hasSeekHead_;
        info.hasCues = hasCues_;
        ApplyMatroskaSections(sections_, info);
    }

  private:
    // One read beyond the sections' budget, only for a film whose video track has no
    // DefaultDuration.
    void readBlockTimes() {
        if (!sections_.video || sections_.video->facts.framesPerSecond > 0 || sections_.video->number == 0 ||
            !firstCluster_) {
            return;
        }
        const std::uint64_t at = *firstCluster_;
        ByteWindow read;
        const ByteWindow* window = &head_;
        // A head shorter than its block is the whole file.
        if (head_.size() == ContainerHeadBlock) {
            read = ByteWindow::Read(file_, at, ClusterBlock);
            window = &read;
        }
        sections_.video->facts.framesPerSecond = FramesPerSecondFromTimes(
            BlockTimes(*window, at, sections_.video->number), sections_.timestampScale);
    }

    struct Place {
        std::uint64_t id;
        std::uint64_t offset;
        bool read = false;
    };

    bool readEbmlHeader(std::string& brand) {
        const EbmlHeaderRead header = EbmlHeaderAt(head_, 0, Unbounded);
        const EbmlElement& ebml = header.element;
        if (header.status != EbmlHeaderStatus::Ok || ebml.id != MatroskaId::Ebml || ebml.unknownSize ||
            !head_.holds(ebml.dataStart, ebml.size)) {
            return false;
        }
        std::string docType;
        ForEachEbmlChild(head_, ebml.dataStart, ebml.end(), [&](const EbmlElement& child) {
            if (child.id == MatroskaId::DocType) docType = EbmlString(head_, child, 16);
            return docType.empty();
        });
        if (docType != "matroska" && docType != "webm") return false;
        brand = docType;
        segmentSearch_ = ebml.end();
        return true;
    }

    // The Segment follows the EBML header, perhaps after a Void or two.
    bool findSegment() {
        std::uint64_t at = segmentSearch_;
        for (int count = 0; count < 8; ++count) {
            const EbmlHeaderRead header = EbmlHeaderAt(head_, at, Unbounded);
            if (header.status != EbmlHeaderStatus::Ok) return false;
            const EbmlElement& element = header.element;
            if (element.id == MatroskaId::Segment) {
                segmentStart_ = element.dataStart;
                segmentEnd_ = element.unknownSize ? Unbounded : element.end();
                return true;
            }
            if (element.unknownSize) return false;
            at = element.end();
        }
        return false;
    }

    // Bytes covering [offset, offset + count): the head, the last block read, or one read
    // call while the budget lasts.
    const ByteWindow* bytesAt(std::uint64_t offset, std::uint64_t count) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, MaxExtraBytes));
        if (head_.covers(offset, wanted)) return &head_;
        if (extra_.covers(offset, wanted)) return &extra_;
        if (readsLeft_ == 0 || bytesLeft_ == 0) return nullptr;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(std::max(wanted, ProbeBlock), bytesLeft_));
        --readsLeft_;
        extra_ = ByteWindow::Read(file_, offset, length);
        bytesLeft_ -= std::min<std::uint64_t>(bytesLeft_, length);
        return &extra_;
    }

    // The Segment's children from `offset` to the first Cluster. Without `mayRead` it stops
    // where the head ends and remembers the place.
    void walk(std::uint64_t offset, bool mayRead) {
        resume_.reset();
        std::uint64_t at = offset;
        for (int count = 0; count < EbmlMaxChildren && at < segmentEnd_; ++count) {
            const ByteWindow* window = mayRead ? bytesAt(at, MaxHeader) : nullptr;
            if (!mayRead && head_.covers(at, MaxHeader)) window = &head_;
            if (!window) {
                resume_ = at;
                return;
            }
            const EbmlHeaderRead header = EbmlHeaderAt(*window, at, segmentEnd_);
            if (header.status == EbmlHeaderStatus::NotHeld) return;
            if (header.status != EbmlHeaderStatus::Ok || !IsSegmentChild(header.element.id)) {
                // Junk: go on at the next top-level element the bytes at hand hold.
                const auto next = NextMatroskaTopLevel(*window, at + 1, segmentEnd_);
                if (!next) return;
                at = *next;
                continue;
            }
            const EbmlElement& element = header.element;
            if (element.id == MatroskaId::Cluster) {
                if (!firstCluster_) firstCluster_ = element.start;
                return;
            }
            if (element.id == MatroskaId::Cues) hasCues_ = true;
            note(element.id, element.start);
            if (element.unknownSize) return;
            at = element.end();
        }
    }

    void note(std::uint64_t id, std::uint64_t offset) {
        if (id == MatroskaId::SeekHead) {
            hasSeekHead_ = true;
            const bool known = std::any_of(seekHeads_.begin(), seekHeads_.end(),
                                           [&](std::uint64_t place) { return place == offset; });
            if (!known && seekHeads_.size() < 2) seekHeads_.push_back(offset);
            return;
        }
        if (std::find(SectionIds.begin(), SectionIds.end(), id) == SectionIds.end()) return;
        if (!placeOf(id)) places_.push_back({id, offset, false});
    }

    std::optional<std::uint64_t> placeOf(std::uint64_t id) const {
        for (const Place& place : places_) {
            if (place.id == id) return place.offset;
        }
        return std::nullopt;
    }

    // The element at `offset` if it has the ID `id`, with bytes holding all of it or its
    // first SectionCap bytes.
    std::optional<std::pair<const ByteWindow*, EbmlElement>> elementAt(std::uint64_t offset,
                                                                       std::uint64_t id) {
        const ByteWindow* window = bytesAt(offset, MaxHeader);
        if (!window) return std::nullopt;
        const EbmlHeaderRead header = EbmlHeaderAt(*window, offset, segmentEnd_);
        if (header.status != EbmlHeaderStatus::Ok || header.element.id != id) return std::nullopt;
        const EbmlElement& element = header.element;
        const std::uint64_t length = element.dataStart - offset + std::min(element.size, SectionCap(id));
        if (!window->covers(offset, static_cast<std::size_t>(length))) window = bytesAt(offset, length);
        if (!window) return std::nullopt;
        return std::pair{window, element};
    }

    // At most two SeekHeads: the first one found and one more it names (or that follows it).
    void followSeekHeads() {
        while (seekHeadsRead_ < seekHeads_.size()) {
            const std::uint64_t offset = seekHeads_[seekHeadsRead_++];
            const auto found = elementAt(offset, MatroskaId::SeekHead);
            if (!found) continue;
            // Named, not bound: a lambda may not capture a structured binding in clang 14.
            const ByteWindow& window = *found->first;
            const EbmlElement& seekHead = found->second;
            ForEachEbmlChild(window, seekHead.dataStart, seekHead.end(), [&](const EbmlElement& seek) {
                if (seek.id == MatroskaId::Seek) readSeek(window, seek);
                return true;
            });
        }
    }

    void readSeek(const ByteWindow& window, const EbmlElement& seek) {
        std::optional<std::uint64_t> id;
        std::optional<std::uint64_t> position;
        ForEachEbmlChild(window, seek.dataStart, seek.end(), [&](const EbmlElement& child) {
            if (child.id == MatroskaId::SeekId) id = EbmlUint(window, child);
            if (child.id == MatroskaId::SeekPosition) position = EbmlUint(window, child);
            return true;
        });
        if (!id || !position || *position >= segmentEnd_ - segmentStart_) return;
        if (*id == MatroskaId::Cues) hasCues_ = true;
        note(*id, segmentStart_ + *position);
    }

    // Info, Tracks and Tags in file order, so that neighbours share a block. A place where
    // the section is not found is forgotten, so that a walk may find the section elsewhere.
    void readSections() {
        std::sort(places_.begin(), places_.end(),
                  [](const Place& a, const Place& b) { return a.offset < b.offset; });
        for (Place& place : places_) {
            if (place.read) continue;
            const auto found = elementAt(place.offset, place.id);
            place.read = found.has_value();
            if (!found) continue;
            const auto& [window, element] = *found;
            if (place.id == MatroskaId::Info) ReadMatroskaInfo(*window, element, sections_);
            if (place.id == MatroskaId::Tracks) ReadMatroskaTracks(*window, element, sections_);
            if (place.id == MatroskaId::Tags) ReadMatroskaTags(*window, element, sections_);
        }
        std::erase_if(places_, [](const Place& place) { return !place.read; });
    }

    ByteFile& file_;
    const ByteWindow& head_;
    ByteWindow extra_;
    int readsLeft_ = MaxExtraReads;
    std::uint64_t bytesLeft_ = MaxExtraBytes;

    std::uint64_t segmentSearch_ = 0;
    std::uint64_t segmentStart_ = 0;
    std::uint64_t segmentEnd_ = Unbounded;
    std::optional<std::uint64_t> resume_;
    std::optional<std::uint64_t> firstCluster_;
    std::vector<std::uint64_t> seekHeads_;
    std::size_t seekHeadsRead_ = 0;
    std::vector<Place> places_;
    bool hasSeekHead_ = false;
    bool hasCues_ = false;
    MatroskaSections sections_;
};

}  // namespace

void ReadMatroska(ByteFile& file, const ByteWindow& head, ContainerInfo& info) {
    MatroskaReader(file, head).read(info);
}

}  // namespace discstart
