#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace discstart {

// The Windows launcher on a disc is a small start program with the window program appended to
// it, compressed: a CD then reads about half the bytes in one sweep, and the window program runs
// from the machine's own disk. These are the start program's choices, kept apart from the
// system calls so that tests can walk them on any platform.
namespace Packed {

// The compressed window program follows the start program's own image in its file. What the
// start program needs to know of it, the packer writes into the image itself, after this tag:
// so a start that finds the program unpacked already reads nothing more of the disc, and one
// that does not reads the rest of the file in the same sweep as the image. The stamp: the tag,
// the compressed and the unpacked length (little-endian, 8 bytes each), and the key, 16
// lower-case hex digits naming the unpacked program's bytes.
inline constexpr std::string_view StampTag = "discstart-packed";
inline constexpr std::size_t KeyLength = 16;
inline constexpr std::size_t StampSize = StampTag.size() + 8 + 8 + KeyLength;

// A disc is untrusted: lengths past these are refused before anything is allocated.
inline constexpr std::uint64_t MaxUnpacked = 256u << 20;
inline constexpr std::uint64_t MaxPacked = 256u << 20;

struct Stamp {
    std::uint64_t packed = 0;
    std::uint64_t unpacked = 0;
    std::string_view key;  // into the bytes given to ReadStamp
};

// The stamp in `bytes` (StampSize bytes) when the packer wrote one: the tag, lengths within the
// bounds above (neither zero), a key of hex digits alone.
bool ReadStamp(std::string_view bytes, Stamp& stamp);

// Whether a file of `fileSize` bytes whose image ends at `imageEnd` holds exactly the stamped
// compressed program after the image.
bool HoldsPacked(const Stamp& stamp, std::uint64_t imageEnd, std::uint64_t fileSize);

// Where the arguments start in a Windows command line: past the program's name as Windows
// reads it (quoted up to the next quote, else up to the first blank) and the blanks after it.
std::size_t ArgumentsStart(std::wstring_view commandLine);

}  // namespace Packed

}  // namespace discstart
