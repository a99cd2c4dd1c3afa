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
// the compressed and the unpacked length (little-endian, 8 bytes each), and the unpacked
// program's SHA-256 in 64 lower-case hex digits. Its first 16 are the key that names the
// program's folder in the temporary folder; the whole hash is what a copy found there must have
// before it runs, since anything can be put in that folder.
inline constexpr std::string_view StampTag = "discstart-packed";
inline constexpr std::size_t HashBytes = 32;
inline constexpr std::size_t HashLength = 2 * HashBytes;
inline constexpr std::size_t KeyLength = 16;
inline constexpr std::size_t StampSize = StampTag.size() + 8 + 8 + HashLength;
// The folder a key names: this prefix, then the key.
inline constexpr std::wstring_view FolderPrefix = L"discstart-";

// A disc is untrusted: lengths past these are refused before anything is allocated.
inline constexpr std::uint64_t MaxUnpacked = 256u << 20;
inline constexpr std::uint64_t MaxPacked = 256u << 20;

struct Stamp {
    std::uint64_t packed = 0;
    std::uint64_t unpacked = 0;
    std::string_view hash;  // into the bytes given to ReadStamp
    std::string_view key;   // the hash's start
};

// The stamp in `bytes` (StampSize bytes) when the packer wrote one: the tag, lengths within the
// bounds above (neither zero), a hash of lower-case hex digits alone.
bool ReadStamp(std::string_view bytes, Stamp& stamp);

// Whether `digest` (HashBytes bytes, as the system's hashing gives them) is the stamp's hash.
bool SameHash(const Stamp& stamp, const unsigned char* digest, std::size_t size);

// Whether a folder of this name is one a start program unpacked into: the prefix and a key,
// nothing else. Only such folders are ever cleaned up.
bool IsKeyFolder(std::wstring_view name);

// The unpacked program's name in its folder, and the name it is written under first: that, a
// dot, the writing process's number and ".part".
inline constexpr std::wstring_view ProgramName = L"discstart.exe";
bool IsPartial(std::wstring_view name);

// Whether a file of `fileSize` bytes whose image ends at `imageEnd` holds exactly the stamped
// compressed program after the image.
bool HoldsPacked(const Stamp& stamp, std::uint64_t imageEnd, std::uint64_t fileSize);

// Where the arguments start in a Windows command line: past the program's name as Windows
// reads it (quoted up to the next quote, else up to the first blank) and the blanks after it.
std::size_t ArgumentsStart(std::wstring_view commandLine);

}  // namespace Packed

}  // namespace discstart
