#include "start/packed_rules.h"

namespace discstart::Packed {

namespace {

std::uint64_t LittleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

bool IsKey(std::string_view key) {
    for (const char c : key) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return key.size() == KeyLength;
}

}  // namespace

// The start program links no C++ runtime: nothing here may throw, so no substr.
bool ReadStamp(std::string_view bytes, Stamp& stamp) {
    if (bytes.size() != StampSize || !bytes.starts_with(StampTag)) return false;
    const char* at = bytes.data() + StampTag.size();
    const std::uint64_t packed = LittleEndian({at, 8});
    const std::uint64_t unpacked = LittleEndian({at + 8, 8});
    const std::string_view key(at + 16, KeyLength);
    if (packed == 0 || unpacked == 0 || packed > MaxPacked || unpacked > MaxUnpacked || !IsKey(key))
        return false;
    stamp = {packed, unpacked, key};
    return true;
}

bool HoldsPacked(const Stamp& stamp, std::uint64_t imageEnd, std::uint64_t fileSize) {
    return imageEnd <= fileSize && fileSize - imageEnd == stamp.packed;
}

std::size_t ArgumentsStart(std::wstring_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        at = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t') ++at;
    }
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t')) ++at;
    return at;
}

}  // namespace discstart::Packed
