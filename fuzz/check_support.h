#pragma once

// Helpers shared by the checks: the bytes read the way the readers promise to read them
// (zero past the end), a file system in memory that counts, and problem reporting.

#include <cstdint>
#include <exception>
#include <string>

#include "bytes/byte_file.h"
#include "fuzz_checks.h"

namespace discstart {

inline constexpr const char* MoviePath = "D:\\film.avi";

// Bytes at an offset, zero where the file has none.
std::uint8_t ByteAt(FileBytes file, std::uint64_t offset);
std::int16_t Int16At(FileBytes file, std::uint64_t offset);
std::int32_t Int32At(FileBytes file, std::uint64_t offset);
std::string TextAt(FileBytes file, std::uint64_t offset, std::size_t count);

// How much one entry point may touch the file: a handful of reads, a bounded number of bytes.
struct ReadLimits {
    int opens;
    int reads;
    std::uint64_t bytes;
};

// The movie at MoviePath, served from memory and counted.
class CountedMovie {
  public:
    explicit CountedMovie(FileBytes file);
    const FileOpener& files() const { return counting_; }
    const CountingFiles::Counts& counts() const { return counting_.counts(); }
    void checkLimits(const ReadLimits& limits, const char* what, Problems& problems) const;

  private:
    MemoryFiles memory_;
    CountingFiles counting_{memory_};
};

void Expect(bool holds, Problems& problems, const std::string& what);
void Append(Problems& problems, Problems more);

// Raw bytes made printable for a problem line: \xNN for anything outside ASCII 32..126.
std::string Quoted(std::string_view bytes);

// Runs `call`; an escaping exception becomes a problem instead of a crash of the checker.
template <typename Call>
void RunGuarded(const char* what, Problems& problems, Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        problems.push_back(std::string(what) + " threw: " + error.what());
    } catch (...) {
        problems.push_back(std::string(what) + " threw a non-standard exception");
    }
}

// Reads twice into fresh records: the same bytes must give the same record (no hidden state).
template <typename Record, typename Read>
void ExpectRepeatable(const char* what, Problems& problems, Read&& read) {
    Record first{};
    Record second{};
    RunGuarded(what, problems, [&] {
        read(first);
        read(second);
    });
    Expect(first == second, problems, std::string(what) + ": two readings of the same bytes differ");
}

// One reading from `marked` within the read limits, judged by `problemsOf(before, after)`,
// then two fresh readings that must agree. `read(files, record)` runs the entry point.
template <typename Record, typename Read, typename ProblemsOf>
Problems CheckReading(FileBytes file, const char* name, const ReadLimits& limits, const Record& marked,
                      Read&& read, ProblemsOf&& problemsOf) {
    Problems problems;
    CountedMovie movie(file);
    Record after = marked;
    RunGuarded(name, problems, [&] { read(movie.files(), after); });
    movie.checkLimits(limits, name, problems);
    Append(problems, problemsOf(marked, after));
    ExpectRepeatable<Record>(name, problems, [&](Record& record) { read(movie.files(), record); });
    return problems;
}

// A text no reader would produce, to see which fields a reading left alone.
inline constexpr const char* Untouched = "\x01untouched";

}  // namespace discstart
