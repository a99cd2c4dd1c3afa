#pragma once

#include <string>

#include "bytes/byte_file.h"
#include "info/panel.h"
#include "support/movie_bytes.h"

namespace discstart {

// The records and files one window would hold, for running the panel in tests.
struct PanelBench {
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    Ogg::OggStreamNumbers oggNumbers;
    ContainerInfo container;
    MemoryFiles files;

    static constexpr const char* MoviePath = "D:\\film.avi";

    static PanelInput Input(NumberFormat format = NumberFormat::English(), bool steps = true,
                            PanelCarry carry = {}) {
        return PanelInput{MoviePath, carry, steps, format};
    }
    PanelUpdate run(const PanelInput& input) { return run(input, files); }
    // Puts `bytes` at the movie path and runs the panel on them.
    PanelUpdate runOn(const std::string& bytes, const PanelInput& input = Input()) {
        files.add(MoviePath, bytes);
        return run(input);
    }
    PanelUpdate run(const PanelInput& input, const FileOpener& opener) {
        return RunPanel(input, PanelRecords{tags, avi, ogg, &container, &oggNumbers}, opener);
    }
};

}  // namespace discstart
