// What Explorer, AutoPlay and the loader read from discstart.exe itself: its icon, the manifest
// that asks for per-monitor DPI awareness, the version 6 common controls and no elevation, and
// the headers a loader reads before it maps the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace discstart {

namespace {

// The disc's discstart.exe (the start program with the window program packed behind it) and
// the window program it unpacks.
constexpr const wchar_t* Programs[] = {L"" DISCSTART_PACKED_EXE_W, L"" DISCSTART_EXE_W};

struct Module {
    explicit Module(const wchar_t* path)
        : handle(::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    HMODULE handle;
    ~Module() {
        if (handle != nullptr) ::FreeLibrary(handle);
    }
};

std::string ResourceText(HMODULE module, LPCWSTR type, LPCWSTR name) {
    const HRSRC found = ::FindResourceW(module, name, type);
    if (found == nullptr) return {};
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    return bytes ? std::string(bytes, ::SizeofResource(module, found)) : std::string();
}

TEST(DiscstartExe, CarriesItsIconInBothSizes) {
    for (const wchar_t* program : Programs) {
        const Module exe(program);
        ASSERT_NE(exe.handle, nullptr) << program;
        for (const int size : {16, 32}) {
            const HANDLE icon = ::LoadImageW(exe.handle, L"IDI_ICON1", IMAGE_ICON, size, size, 0);
            ASSERT_NE(icon, nullptr) << size;
            ICONINFO info{};
            ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(icon), &info)) << size;
            BITMAP bitmap{};
            ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            ::DeleteObject(info.hbmMask);
            if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
            ::DestroyIcon(static_cast<HICON>(icon));
        }
    }
}

TEST(DiscstartExe, CarriesItsManifest) {
    for (const wchar_t* program : Programs) {
        const Module exe(program);
        ASSERT_NE(exe.handle, nullptr) << program;
        const std::string manifest =
            ResourceText(exe.handle, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST
        for (const char* wanted :
             {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2<",
              "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\""}) {
            EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
        }
    }
}

std::vector<char> FileBytes(const wchar_t* path) {
    std::vector<char> bytes;
    FILE* file = ::_wfopen(path, L"rb");
    if (file == nullptr) return bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

template <typename T>
T At(const std::vector<char>& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(DiscstartExe, IsMappedWhereItLiesWithAddressRandomisation) {
    for (const wchar_t* program : Programs) {
        SCOPED_TRACE(::testing::Message() << program);
        const std::vector<char> bytes = FileBytes(program);
        const auto headers = std::size_t(At<IMAGE_DOS_HEADER>(bytes, 0).e_lfanew);
        const auto nt = At<IMAGE_NT_HEADERS64>(bytes, headers);
        ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
        // Never copied to the page file before it runs, from a disc or a network.
        EXPECT_EQ(nt.FileHeader.Characteristics &
                      (IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP | IMAGE_FILE_NET_RUN_FROM_SWAP),
                  0);
        EXPECT_NE(nt.OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0);
        if (program != Programs[1]) continue;
#ifdef DISCSTART_PAGE_ALIGNED
        EXPECT_EQ(nt.OptionalHeader.FileAlignment, 4096u);
        EXPECT_EQ(nt.OptionalHeader.SectionAlignment, 4096u);
        const std::size_t sections =
            headers + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
        for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const auto section = At<IMAGE_SECTION_HEADER>(bytes, sections + i * sizeof(IMAGE_SECTION_HEADER));
            const std::string name(reinterpret_cast<const char*>(section.Name),
                                   strnlen(reinterpret_cast<const char*>(section.Name), 8));
            if (section.SizeOfRawData != 0) {
                EXPECT_EQ(section.PointerToRawData % 4096, 0u) << name;
            }
        }
#endif
    }
}

}  // namespace

}  // namespace discstart
