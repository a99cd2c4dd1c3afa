#include "media/plausible.h"

#include <cmath>
#include <sstream>

#include "media/container.h"

namespace discstart {

namespace {

// Where each fact is stored, for the warning that names the header to mend.
struct Headers {
    const char* picture;
    const char* fps;
    const char* sound;
    const char* duration;
    const char* bitrate;
};

Headers HeadersOf(MovieFileKind kind) {
    if (kind == MovieFileKind::Ogg) {
        return {"identification header", "identification header", "identification header", "granule position",
                "identification header"};
    }
    if (kind == MovieFileKind::Matroska) return {"Video", "DefaultDuration", "Audio", "Info", "TrackEntry"};
    return {"stsd", "stts", "stsd", "mvhd", "btrt"};
}

template <typename Number>
std::string Text(Number value) {
    std::ostringstream text;
    text.precision(17);
    text << value;
    return text.str();
}

class Refusals {
  public:
    explicit Refusals(const char* track) : m_track(track) {}

    template <typename Number>
    void check(bool keep, Number& value, const char* fact, const char* header) {
        if (keep || value == Number{}) return;
        m_refused.push_back({std::string(m_track) + fact, header, Text(value)});
        value = Number{};
    }

    std::vector<RefusedFact> take() { return std::move(m_refused); }

  private:
    const char* m_track;
    std::vector<RefusedFact> m_refused;
};

void KeepTrack(TrackFacts& track, const char* name, const Headers& headers, std::vector<RefusedFact>& out) {
    Refusals refusals(name);
    if (track.width != 0 || track.height != 0) {
        if (!Plausible::Side(track.width) || !Plausible::Side(track.height)) {
            refusals.check(false, track.width, "width", headers.picture);
            refusals.check(false, track.height, "height", headers.picture);
        }
    }
    refusals.check(std::isfinite(track.framesPerSecond) && Plausible::FramesPerSecond(track.framesPerSecond),
                   track.framesPerSecond, "fps", headers.fps);
    refusals.check(Plausible::Channels(track.channels), track.channels, "channels", headers.sound);
    refusals.check(Plausible::SampleRate(track.sampleRate), track.sampleRate, "sampleRate", headers.sound);
    refusals.check(Plausible::Bitrate(track.bitrate), track.bitrate, "bitrate", headers.bitrate);
    for (auto& refused : refusals.take()) out.push_back(std::move(refused));
}

}  // namespace

std::vector<RefusedFact> KeepPlausible(ContainerInfo& info, MovieFileKind kind) {
    const Headers headers = HeadersOf(kind);
    std::vector<RefusedFact> refused;
    if (info.video) KeepTrack(*info.video, "video.", headers, refused);
    if (info.audio) KeepTrack(*info.audio, "audio.", headers, refused);
    Refusals film("");
    film.check(std::isfinite(info.durationSeconds) && Plausible::Seconds(info.durationSeconds),
               info.durationSeconds, "duration", headers.duration);
    for (auto& one : film.take()) refused.push_back(std::move(one));
    return refused;
}

}  // namespace discstart
