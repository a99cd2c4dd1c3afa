// The system on Windows: paths are UTF-8 here and UTF-16 to the system.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "system/system.h"

namespace discstart {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), units);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

  private:
    HANDLE handle_;
};

class WindowsFile : public ByteFile {
  public:
    explicit WindowsFile(HANDLE handle) : handle_(handle) {}

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            const DWORD chunk = DWORD(std::min<std::size_t>(count - done, 1u << 30));
            OVERLAPPED at{};
            at.Offset = DWORD((offset + done) & 0xFFFFFFFFu);
            at.OffsetHigh = DWORD((offset + done) >> 32);
            DWORD got = 0;
            if (!::ReadFile(handle_.get(), dest + done, chunk, &got, &at)) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_HANDLE_EOF && !error_)
                    error_ = std::error_code(int(error), std::system_category());
                break;
            }
            if (got == 0) break;
            done += got;
        }
        return done;
    }
    std::error_code error() const override { return error_; }

  private:
    Handle handle_;
    std::error_code error_;
};

FileState StateOfError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_CANT_RESOLVE_FILENAME:
            return FileState::Missing;
        default:
            return FileState::Unreadable;
    }
}

class DiskFileOpener : public FileOpener {
  public:
    std::unique_ptr<ByteFile> open(const std::string& path) const override { return openChecked(path).file; }

    std::optional<std::int64_t> length(const std::string& path) const override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return std::nullopt;
        return std::int64_t((std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    }

    // What the file is comes from the open handle: a device name (CON, NUL, COM1), a pipe or a
    // folder is no plain file, whatever its name says.
    OpenedFile openChecked(const std::string& path) const override {
        OpenedFile opened;
        Handle handle(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.valid()) {
            const DWORD error = ::GetLastError();
            opened.error = std::error_code(int(error), std::system_category());
            opened.state = StateOfError(error);
            const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                opened.state = FileState::Special;
            return opened;
        }
        BY_HANDLE_FILE_INFORMATION information{};
        if (::GetFileType(handle.get()) != FILE_TYPE_DISK ||
            !::GetFileInformationByHandle(handle.get(), &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            opened.state = FileState::Special;
            return opened;
        }
        opened.state = FileState::Plain;
        opened.size =
            std::int64_t((std::uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow);
        opened.file = std::make_unique<WindowsFile>(handle.release());
        return opened;
    }

    std::optional<std::string> realPath(const std::string& path) const override {
        const Handle handle(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!handle.valid()) return std::nullopt;
        std::wstring wide(MAX_PATH, L'\0');
        for (;;) {
            const DWORD units = ::GetFinalPathNameByHandleW(handle.get(), wide.data(), DWORD(wide.size()),
                                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (units == 0) return std::nullopt;
            if (units < wide.size()) {
                wide.resize(units);
                break;
            }
            wide.resize(units + 1);
        }
        // "\\?\C:\x" and "\\?\UNC\server\share\x" as "C:/x" and "//server/share/x".
        if (wide.rfind(L"\\\\?\\UNC\\", 0) == 0) {
            wide = L"\\\\" + wide.substr(8);
        } else if (wide.rfind(L"\\\\?\\", 0) == 0) {
            wide = wide.substr(4);
        }
        return GenericPath(Utf8(wide));
    }

    bool hiddenByAttributes(const std::string& path) const override {
        const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    }
};

}  // namespace

const FileOpener& DiskFiles() {
    static const DiskFileOpener files;
    return files;
}

std::string GenericPath(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

char PathSeparator() {
    return '\\';
}

bool NamesAreBytes() {
    return false;
}

std::filesystem::path FileSystemPath(const std::string& path) {
    return {Wide(path)};
}

// Windows hides files by attribute, not by name: files marked hidden or system are left out, as
// the shell's own file lists do.
std::vector<std::string> ListFiles(const std::string& folder,
                                   const std::function<bool(const std::string&)>& wanted) {
    std::vector<std::string> names;
    std::wstring query = Wide(folder);
    if (!query.empty() && query.back() != L'\\' && query.back() != L'/') query += L'\\';
    query += L'*';
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileExW(query.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return names;
    constexpr DWORD leftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & leftOut) != 0) continue;
        std::string name = Utf8(entry.cFileName);
        if (wanted(name)) names.push_back(std::move(name));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return names;
}

namespace {

// The program the viewer started, every character kept; grows the buffer for paths past MAX_PATH.
std::wstring ExecutablePath() {
    static const std::wstring startedAs = [] {
        const wchar_t* path = ::_wgetenv(L"DISCSTART_STARTED_AS");
        std::wstring named = path != nullptr ? path : L"";
        ::_wputenv(L"DISCSTART_STARTED_AS=");
        return named;
    }();
    if (!startedAs.empty()) return startedAs;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return buffer.substr(0, length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string ProgramFolder() {
    const std::wstring program = ExecutablePath();
    const std::size_t slash = program.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    // A drive's root keeps its backslash (D:\), any other folder loses it.
    const bool root = slash > 0 && program[slash - 1] == L':';
    return Utf8(program.substr(0, root ? slash + 1 : slash));
}

// As the C runtime parses the command line, in UTF-16: argv holds the system's code page.
std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8(words[i]));
    ::LocalFree(words);
    return arguments;
}

std::string LoadedFrom(const void* /*address*/) {
    return {};
}

void* LibrarySymbol(const std::string& folder, const char* name, const char* symbol) {
    std::string file = folder;
    if (!file.empty() && !IsPathSeparator(file.back())) file += '\\';
    file += std::string(name) + ".dll";
    const HMODULE library = ::LoadLibraryExW(Wide(file).c_str(), nullptr,
                                             LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library != nullptr ? reinterpret_cast<void*>(::GetProcAddress(library, symbol)) : nullptr;
}

void LimitLibrarySearch() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace discstart
