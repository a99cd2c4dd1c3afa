// What Explorer, AutoPlay and the loader read from discstart.exe itself: its icon, and the
// manifest that asks for per-monitor DPI awareness, the version 6 common controls and no elevation.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace discstart {

namespace {

struct Module {
    HMODULE handle = ::LoadLibraryExW(L"" DISCSTART_EXE_W, nullptr, LOAD_LIBRARY_AS_DATAFILE);
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
    const Module exe;
    ASSERT_NE(exe.handle, nullptr);
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

TEST(DiscstartExe, CarriesItsManifest) {
    const Module exe;
    ASSERT_NE(exe.handle, nullptr);
    const std::string manifest =
        ResourceText(exe.handle, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST
    for (const char* wanted :
         {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2<",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\""}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
}

}  // namespace

}  // namespace discstart
