// Each reader and the whole panel run on every movie in the test data folder (and the further
// folders given), from the disk with a warm cache: the AVI and Ogg media readers on the AVI
// names, ReadContainer on the films. Besides the time, every benchmark reports what one run
// asked of the movie file through the byte-file seam: opens, read calls and bytes read.
//   reader_bench [--data=FOLDER]... [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "info/film_names.h"
#include "info/ogg_panel.h"
#include "info/panel.h"
#include "media/container.h"
#include "media/riff/avi_header.h"
#include "media/riff/info_tags.h"
#include "system/system.h"

namespace discstart {

namespace {

using ReaderRun = std::function<void(const std::string& path, const FileOpener& files)>;

struct Reader {
    const char* name;
    ReaderRun run;
    bool avi;    // runs on the AVI names
    bool films;  // runs on the films
};

const NumberFormat Format{".", ","};

const std::vector<Reader>& Readers() {
    static const std::vector<Reader> readers = {
        {"ReadAviHeader",
         [](const std::string& path, const FileOpener& files) {
             AviHeaderInfo avi;
             benchmark::DoNotOptimize(ReadAviHeader(path, avi, files));
         },
         true, false},
        {"ReadInfoTags",
         [](const std::string& path, const FileOpener& files) {
             MovieTags tags;
             DivX::ReadInfoTags(path, tags, files);
             benchmark::DoNotOptimize(tags);
         },
         true, false},
        {"ReadOggInfo",
         [](const std::string& path, const FileOpener& files) {
             OggStreamInfo ogg;
             benchmark::DoNotOptimize(Ogg::ReadOggInfo(path, Format, ogg, files));
         },
         true, false},
        {"ReadContainer",
         [](const std::string& path, const FileOpener& files) {
             ContainerInfo film;
             benchmark::DoNotOptimize(ReadContainer(path, film, files));
         },
         false, true},
        {"RunPanel",
         [](const std::string& path, const FileOpener& files) {
             MovieTags tags;
             AviHeaderInfo avi;
             OggStreamInfo ogg;
             ContainerInfo container;
             const PanelInput input{path, {}, true, Format};
             benchmark::DoNotOptimize(RunPanel(input, PanelRecords{tags, avi, ogg, &container}, files));
         },
         true, true},
    };
    return readers;
}

void RunReader(benchmark::State& state, const ReaderRun& run, const std::string& path) {
    CountingFiles counting(DiskFiles());
    run(path, counting);  // warms the cache and checks the file is there
    if (counting.counts().opens == 0 || counting.counts().reads == 0) {
        state.SkipWithError("the movie could not be read");
        return;
    }
    counting.reset();
    for (auto _ : state) run(path, counting);
    const auto& counts = counting.counts();
    const auto perRun = benchmark::Counter::kAvgIterations;
    state.counters["opens"] = benchmark::Counter(counts.opens, perRun);
    state.counters["reads"] = benchmark::Counter(counts.reads, perRun);
    state.counters["bytes"] = benchmark::Counter(static_cast<double>(counts.bytes), perRun);
}

bool IsFilm(const std::filesystem::path& path) {
    return FilmExtensionLength(path.filename().string()) > 0;
}

std::vector<std::filesystem::path> Movies(const std::vector<std::filesystem::path>& folders) {
    std::vector<std::filesystem::path> movies;
    for (const auto& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file() && (entry.path().extension() == ".avi" || IsFilm(entry.path()))) {
                movies.push_back(entry.path());
            }
        }
    }
    std::sort(movies.begin(), movies.end());
    return movies;
}

}  // namespace

}  // namespace discstart

using namespace discstart;

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::filesystem::path> data = {DISCSTART_BENCH_DATA};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--data=", 7) == 0) {
            data.emplace_back(argv[i] + 7);
        } else {
            benchmark::ReportUnrecognizedArguments(argc, argv);
            return 2;
        }
    }
    for (const auto& movie : Movies(data)) {
        for (const Reader& reader : Readers()) {
            if (!(IsFilm(movie) ? reader.films : reader.avi)) continue;
            const std::string name = std::string(reader.name) + "/" + movie.filename().string();
            benchmark::RegisterBenchmark(name.c_str(), RunReader, reader.run, movie.string());
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
