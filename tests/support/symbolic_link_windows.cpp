// Windows makes links for the privileged or in developer mode. Wine 8 answers yes and makes
// none, but follows the Unix links beneath its drives: there the Unix side makes them.
#include <windows.h>

#include <algorithm>
#include <string>

#include "support/symbolic_link.h"

namespace discstart {

namespace {

std::wstring Wide(const std::string& utf8) {
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), units);
    return wide;
}

bool Exists(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE handle = ::FindFirstFileW(path.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::FindClose(handle);
    return true;
}

// The Unix name of a Windows path under Wine, or nothing on Windows.
std::string UnixName(const std::wstring& path) {
    using Convert = char* (*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (convert == nullptr) return {};
    char* name = convert(path.c_str());
    if (name == nullptr) return {};
    std::string unix(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unix;
}

// Wine splits the command line as Windows does: our paths hold no double quote.
std::wstring Quoted(const std::string& text) {
    return L"\"" + Wide(text) + L"\"";
}

// Wine starts a Unix program it is handed, but gives nothing to wait on: the link is awaited.
bool MakeOnTheUnixSide(const std::string& target, const std::wstring& link) {
    const std::string unixLink = UnixName(link);
    const bool onADrive = target.size() > 1 && target[1] == ':';
    const std::string unixTarget = onADrive ? UnixName(Wide(target)) : target;
    if (unixLink.empty() || unixTarget.empty()) return false;
    std::wstring command = L"/bin/ln -s " + Quoted(unixTarget) + L" " + Quoted(unixLink);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int waited = 0; waited < 500; ++waited) {
        if (Exists(link)) return true;
        ::Sleep(10);
    }
    return false;
}

}  // namespace

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
    const std::wstring wideLink = Wide(link);
    std::wstring wideTarget = Wide(target);
    std::replace(wideTarget.begin(), wideTarget.end(), L'/', L'\\');
    const bool absolute = wideTarget.size() > 1 && (wideTarget[0] == L'\\' || wideTarget[1] == L':');
    const std::wstring seen =
        absolute ? wideTarget : wideLink.substr(0, wideLink.find_last_of(L"/\\") + 1) + wideTarget;
    const DWORD attributes = ::GetFileAttributesW(seen.c_str());
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    if (::CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), flags) && Exists(wideLink)) return true;
    return MakeOnTheUnixSide(target, wideLink);
}

}  // namespace discstart
