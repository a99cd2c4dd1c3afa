#pragma once

#include "media/container.h"
#include "support/iso_bytes.h"

namespace discstart {

// One reading of an ISO media file as the window makes it, with the reads it cost.
struct IsoReading {
    MovieFileKind kind = MovieFileKind::Other;
    ContainerInfo info;
    CountingFiles::Counts counts;
};

inline IsoReading ReadIso(const FileOpener& source) {
    CountingFiles files(source);
    IsoReading reading;
    reading.kind = ReadContainer("film.mp4", reading.info, files);
    reading.counts = files.counts();
    return reading;
}

inline IsoReading ReadIso(const isobmff::Bytes& bytes) {
    MemoryFiles memory;
    memory.add("film.mp4", bytes);
    return ReadIso(memory);
}

}  // namespace discstart
