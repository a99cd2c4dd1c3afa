#include "start/packed_rules.h"

namespace discstart::Packed {

namespace {

std::uint64_t LittleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

template <typename Char>
int HexValue(Char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case too: one spelling per hash, one folder name per key
}

template <typename Char>
bool IsHex(std::basic_string_view<Char> digits, std::size_t length) {
    if (digits.size() != length) return false;
    for (const Char c : digits) {
        if (HexValue(c) < 0) return false;
    }
    return true;
}

}  // namespace

// The start program links no C++ runtime: nothing here may throw, so no substr.
bool ReadStamp(std::string_view bytes, Stamp& stamp) {
    if (bytes.size() != StampSize || !bytes.starts_with(StampTag)) return false;
    const char* at = bytes.data() + StampTag.size();
    const std::uint64_t packed = LittleEndian({at, 8});
    const std::uint64_t unpacked = LittleEndian({at + 8, 8});
    const std::string_view hash(at + 16, HashLength);
    if (packed == 0 || unpacked == 0 || packed > MaxPacked || unpacked > MaxUnpacked ||
        !IsHex(hash, HashLength))
        return false;
    stamp = {packed, unpacked, hash, {hash.data(), KeyLength}};
    return true;
}

bool SameHash(const Stamp& stamp, const unsigned char* digest, std::size_t size) {
    if (size != HashBytes || stamp.hash.size() != HashLength) return false;
    for (std::size_t i = 0; i < size; ++i) {
        if (HexValue(stamp.hash[2 * i]) != digest[i] >> 4 ||
            HexValue(stamp.hash[2 * i + 1]) != (digest[i] & 15))
            return false;
    }
    return true;
}

bool IsKeyFolder(std::wstring_view name) {
    return name.size() == FolderPrefix.size() + KeyLength && name.starts_with(FolderPrefix) &&
           IsHex(std::wstring_view(name.data() + FolderPrefix.size(), KeyLength), KeyLength);
}

bool IsPartial(std::wstring_view name) {
    constexpr std::wstring_view Suffix = L".part";
    if (name.size() <= ProgramName.size() + 1 + Suffix.size() || !name.starts_with(ProgramName) ||
        name[ProgramName.size()] != L'.' || !name.ends_with(Suffix))
        return false;
    const std::wstring_view process(name.data() + ProgramName.size() + 1,
                                    name.size() - ProgramName.size() - 1 - Suffix.size());
    if (process.size() > 10) return false;  // a DWORD's digits
    for (const wchar_t c : process) {
        if (c < L'0' || c > L'9') return false;
    }
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
