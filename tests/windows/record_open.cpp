// Stands in for a movie player under Wine: registered as the program that opens .avi files,
// it writes what the shell handed it (the file, then its working folder) as UTF-8 lines to
// the file named by its first argument.
#include <windows.h>

#include <cstdio>
#include <string>

namespace discstart {

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string bytes(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

}  // namespace

}  // namespace discstart

using namespace discstart;

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    wchar_t folder[MAX_PATH * 4] = {};
    ::GetCurrentDirectoryW(DWORD(std::size(folder)), folder);
    FILE* out = ::_wfopen(argv[1], L"wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "%s\n%s\n", Utf8(argv[2]).c_str(), Utf8(folder).c_str());
    std::fclose(out);
    return 0;
}
