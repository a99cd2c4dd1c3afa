#include "check_support.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "media/plausible.h"

namespace discstart {

std::uint8_t ByteAt(FileBytes file, std::uint64_t offset) {
    return offset < file.size() ? file[static_cast<std::size_t>(offset)] : 0;
}

std::int16_t Int16At(FileBytes file, std::uint64_t offset) {
    return static_cast<std::int16_t>(ByteAt(file, offset) | (ByteAt(file, offset + 1) << 8));
}

std::int32_t Int32At(FileBytes file, std::uint64_t offset) {
    std::uint32_t value = 0;
    for (std::uint64_t i = 4; i-- > 0;) value = (value << 8) | ByteAt(file, offset + i);
    return static_cast<std::int32_t>(value);
}

std::string TextAt(FileBytes file, std::uint64_t offset, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<char>(ByteAt(file, offset + i));
    return text;
}

namespace {

template <typename Number, typename Bound>
void ExpectWithin(const std::string& name, Number value, const Bound& bound, Problems& problems) {
    if (value == Number{} || bound(value)) return;
    std::ostringstream text;
    text.precision(17);
    text << name << " is " << value << ", outside its bound and not left out";
    problems.push_back(text.str());
}

}  // namespace

Problems PlausibleProblems(const ContainerInfo& info) {
    Problems problems;
    for (const auto& [name, track] : {std::pair{"video.", &info.video}, std::pair{"audio.", &info.audio}}) {
        if (!*track) continue;
        const TrackFacts& facts = **track;
        const std::string what(name);
        ExpectWithin(what + "width", facts.width, Plausible::Side, problems);
        ExpectWithin(what + "height", facts.height, Plausible::Side, problems);
        Expect((facts.width == 0) == (facts.height == 0), problems, what + "size is half a size");
        ExpectWithin(what + "framesPerSecond", facts.framesPerSecond, Plausible::FramesPerSecond, problems);
        ExpectWithin(what + "channels", facts.channels, Plausible::Channels, problems);
        ExpectWithin(what + "sampleRate", facts.sampleRate, Plausible::SampleRate, problems);
        ExpectWithin(what + "bitrate", facts.bitrate, Plausible::Bitrate, problems);
    }
    ExpectWithin("durationSeconds", info.durationSeconds, Plausible::Seconds, problems);
    return problems;
}

CountedMovie::CountedMovie(FileBytes file) {
    memory_.add(MoviePath, std::vector<std::uint8_t>(file.begin(), file.end()));
}

void CountedMovie::checkLimits(const ReadLimits& limits, const char* what, Problems& problems) const {
    const auto& counts = counting_.counts();
    const std::string name(what);
    Expect(counts.opens <= limits.opens, problems,
           name + " opened the file " + std::to_string(counts.opens) + " times");
    Expect(counts.reads <= limits.reads, problems,
           name + " made " + std::to_string(counts.reads) + " read calls");
    Expect(counts.bytes <= limits.bytes, problems, name + " read " + std::to_string(counts.bytes) + " bytes");
}

void Expect(bool holds, Problems& problems, const std::string& what) {
    if (!holds) problems.push_back(what);
}

void Append(Problems& problems, Problems more) {
    for (auto& problem : more) problems.push_back(std::move(problem));
}

std::string Quoted(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127 && c != '"' && c != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + "\"";
}

MovieFileKind ExpectedKind(FileBytes file) {
    const std::string start = TextAt(file, 0, 4);
    if (start == "OggS" || start == "OGGS") return MovieFileKind::OggMedia;
    if (TextAt(file, 8, 4) == "AVI ") return MovieFileKind::Avi;
    return MovieFileKind::Other;
}

void AbortOnProblems(const Problems& problems, const char* target) {
    if (problems.empty()) return;
    for (const auto& problem : problems) std::fprintf(stderr, "%s: %s\n", target, problem.c_str());
    std::abort();
}

}  // namespace discstart
