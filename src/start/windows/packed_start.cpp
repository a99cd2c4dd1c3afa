// discstart.exe on a disc: this small program with the window program appended to it,
// compressed. Windows reads a program on removable media whole before it runs it; this one
// reads the compressed window program in the same sweep, unpacks it once into the user's
// temporary folder (a later start from the same disc finds it there) and runs it, telling it
// which folder to show. Where it cannot, it says why: it never ends without a word.
#include <windows.h>

#include <lzma.h>

#include <cwchar>
#include <iterator>
#include <string_view>

#include "start/packed_rules.h"

namespace discstart {

namespace {

using Packed::Stamp;

// The packer overwrites what follows the tag (scripts/release/pack-launcher.py); volatile, so the compiler
// neither folds the placeholder into the code nor drops it.
volatile const char stamp[] =
    "discstart-packed................................................................................";
static_assert(sizeof stamp == Packed::StampSize + 1);

constexpr wchar_t Title[] = L"discstart";
// The window program reads this for the folder it would otherwise take from its own path.
constexpr wchar_t StartedAs[] = L"DISCSTART_STARTED_AS";
constexpr DWORD LongPath = 32768;

// Appends `tail` to the text in `out`; false, leaving `out` as it was, when it does not fit.
// (No printf: the C runtime's would make this program several times larger.)
template <std::size_t N>
bool Append(wchar_t (&out)[N], const wchar_t* tail, std::size_t tailLength = std::size_t(-1)) {
    const std::size_t length = std::wcslen(out);
    if (tailLength == std::size_t(-1)) tailLength = std::wcslen(tail);
    if (length + tailLength >= N) return false;
    std::wmemcpy(out + length, tail, tailLength);
    out[length + tailLength] = L'\0';
    return true;
}

// Says why, with Windows' own text for `error` when there is one, and returns the exit status.
// Started from a disc the program has no standard error and shows a message box; started with
// its error output led somewhere (a script, a test), it writes there and waits for no one.
int Fail(const wchar_t* what, DWORD error) {
    wchar_t text[1024] = L"";
    Append(text, L"The start window cannot open: ");
    Append(text, what);
    Append(text, L".");
    if (error != 0) {
        wchar_t* reason = nullptr;
        ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
        if (reason) Append(text, L"\n\n"), Append(text, reason);
        ::LocalFree(reason);
    }
    const HANDLE standardError = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD type = standardError && standardError != INVALID_HANDLE_VALUE ? ::GetFileType(standardError)
                                                                        : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        char utf8[4096];
        const int length =
            ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 2, nullptr, nullptr);
        if (length > 0) {
            utf8[length - 1] = '\n';
            DWORD written = 0;
            ::WriteFile(standardError, utf8, DWORD(length), &written, nullptr);
            return 1;
        }
    }
    ::MessageBoxW(nullptr, text, Title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
}

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h = nullptr) : value(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(nullptr); }
    void reset(HANDLE h) {
        if (ok()) ::CloseHandle(value);
        value = h;
    }
    bool ok() const { return value != INVALID_HANDLE_VALUE && value != nullptr; }
};

// SHA-256 through the system's own provider. bcrypt.dll is not among the DLLs Windows always
// takes from its own folder: linked, it could be taken from beside this program (a disc copied
// into a download folder), so it is loaded from the system folder by hand.
class Sha256 {
  public:
    Sha256() {
        const HMODULE bcrypt = ::LoadLibraryExW(L"bcrypt.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!bcrypt) return;
        open_ = Function<Open>(bcrypt, "BCryptOpenAlgorithmProvider");
        close_ = Function<Close>(bcrypt, "BCryptCloseAlgorithmProvider");
        create_ = Function<Create>(bcrypt, "BCryptCreateHash");
        data_ = Function<Data>(bcrypt, "BCryptHashData");
        finish_ = Function<Finish>(bcrypt, "BCryptFinishHash");
        destroy_ = Function<Destroy>(bcrypt, "BCryptDestroyHash");
        if (!open_ || !close_ || !create_ || !data_ || !finish_ || !destroy_) return;
        if (open_(&algorithm_, L"SHA256", nullptr, 0) < 0) {
            algorithm_ = nullptr;
            return;
        }
        // No object buffer: the provider allocates its own.
        if (create_(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) < 0) hash_ = nullptr;
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    ~Sha256() {
        if (hash_) destroy_(hash_);
        if (algorithm_) close_(algorithm_, 0);
    }
    bool ok() const { return hash_ != nullptr; }
    bool add(const void* bytes, std::uint64_t length) {
        for (auto* at = static_cast<const unsigned char*>(bytes); ok() && length > 0;) {
            const ULONG piece = length > (1u << 30) ? (1u << 30) : static_cast<ULONG>(length);
            if (data_(hash_, const_cast<unsigned char*>(at), piece, 0) < 0) return false;
            at += piece;
            length -= piece;
        }
        return ok();
    }
    bool finish(unsigned char (&digest)[Packed::HashBytes]) {
        return ok() && finish_(hash_, digest, sizeof digest, 0) >= 0;
    }

  private:
    using Open = LONG(WINAPI*)(void**, const wchar_t*, const wchar_t*, ULONG);
    using Close = LONG(WINAPI*)(void*, ULONG);
    using Create = LONG(WINAPI*)(void*, void**, unsigned char*, ULONG, unsigned char*, ULONG, ULONG);
    using Data = LONG(WINAPI*)(void*, unsigned char*, ULONG, ULONG);
    using Finish = LONG(WINAPI*)(void*, unsigned char*, ULONG, ULONG);
    using Destroy = LONG(WINAPI*)(void*);
    template <typename F>
    static F Function(HMODULE module, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
    Open open_ = nullptr;
    Close close_ = nullptr;
    Create create_ = nullptr;
    Data data_ = nullptr;
    Finish finish_ = nullptr;
    Destroy destroy_ = nullptr;
    void* algorithm_ = nullptr;
    void* hash_ = nullptr;
};

struct Memory {
    void* bytes;
    explicit Memory(std::uint64_t size)
        : bytes(
              ::VirtualAlloc(nullptr, static_cast<SIZE_T>(size), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
    ~Memory() {
        if (bytes) ::VirtualFree(bytes, 0, MEM_RELEASE);
    }
};

// Where this program's image ends in its file: what follows is the appended data.
std::uint64_t ImageEnd() {
    const auto* base = reinterpret_cast<const unsigned char*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    std::uint64_t end = nt->OptionalHeader.SizeOfHeaders;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
        const std::uint64_t sectionEnd =
            std::uint64_t(section[i].PointerToRawData) + section[i].SizeOfRawData;
        if (section[i].SizeOfRawData != 0 && sectionEnd > end) end = sectionEnd;
    }
    return end;
}

bool WriteAll(HANDLE file, const void* from, std::uint64_t length) {
    const auto* bytes = static_cast<const char*>(from);
    while (length > 0) {
        DWORD put = 0;
        const DWORD want = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        if (!::WriteFile(file, bytes, want, &put, nullptr) || put == 0) return false;
        bytes += put;
        length -= put;
    }
    return true;
}

// Read in pieces this large, from the disc and from a copy being checked.
std::uint8_t piece[256 * 1024];

// Whether the file at `path` holds exactly the program the stamp names. When it does, `held` is
// left open on it, sharing it for reading alone: nothing can change or replace the file between
// the check and its start.
bool Genuine(const Stamp& packed, const wchar_t* path, Handle& held) {
    Handle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file.ok() || !::GetFileSizeEx(file.value, &size) || std::uint64_t(size.QuadPart) != packed.unpacked)
        return false;
    Sha256 hash;
    for (std::uint64_t left = packed.unpacked; left > 0;) {
        DWORD got = 0;
        const DWORD want = left < sizeof piece ? static_cast<DWORD>(left) : DWORD(sizeof piece);
        if (!::ReadFile(file.value, piece, want, &got, nullptr) || got == 0 || !hash.add(piece, got))
            return false;
        left -= got;
    }
    unsigned char digest[Packed::HashBytes];
    if (!hash.finish(digest) || !Packed::SameHash(packed, digest, sizeof digest)) return false;
    held.reset(file.value);
    file.value = nullptr;
    return true;
}

// Makes `folder`, also where a file of its name stands in its way.
bool MakeFolder(const wchar_t* folder) {
    if (::CreateDirectoryW(folder, nullptr)) return true;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const DWORD attributes = ::GetFileAttributesW(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    ::SetFileAttributesW(folder, FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(folder) && ::CreateDirectoryW(folder, nullptr);
}

// Deletes in `folder` the copies a start program writes there: the partial files, and the program
// too unless `keepProgram`. One still running cannot be deleted and stays.
void RemoveCopies(const wchar_t* folder, bool keepProgram) {
    wchar_t pattern[LongPath] = L"";
    if (!Append(pattern, folder) || !Append(pattern, L"\\discstart.exe*")) return;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring_view name = found.cFileName;
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !(Packed::IsPartial(name) || (!keepProgram && name == Packed::ProgramName)))
            continue;
        wchar_t path[LongPath] = L"";
        if (Append(path, folder) && Append(path, L"\\") && Append(path, found.cFileName)) ::DeleteFileW(path);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Deletes in the key's `folder` every file that is neither the program nor a copy being written:
// Windows looks for the DLLs a program imports beside it first, before SetDefaultDllDirectories
// can have any say, so a winmm.dll put there would run as part of the window. False when one
// cannot be deleted (in use).
bool RemoveStrangers(const wchar_t* folder) {
    wchar_t pattern[LongPath] = L"";
    if (!Append(pattern, folder) || !Append(pattern, L"\\*")) return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    bool clean = true;
    do {
        const std::wstring_view name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == Packed::ProgramName ||
            Packed::IsPartial(name))
            continue;
        wchar_t path[LongPath] = L"";
        if (!Append(path, folder) || !Append(path, L"\\") || !Append(path, found.cFileName)) {
            clean = false;
            continue;
        }
        ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(path)) clean = false;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return clean;
}

// Reads the appended program from `self` (right after the image the loader read), unpacks it and puts it at
// `target` through a name of its own (`partial`), so that `target` is either whole or what it was. When
// `target` cannot be replaced (a stale copy still running), the program stays at `partial` and `placed`
// says so. Returns 0 or the exit status after saying why.
int Unpack(const Stamp& packed, const wchar_t* self, const wchar_t* folder, const wchar_t* target,
           wchar_t (&partial)[LongPath], bool& placed) {
    const Handle file(::CreateFileW(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file.ok() || !::GetFileSizeEx(file.value, &size))
        return Fail(L"its own file cannot be read", ::GetLastError());
    const std::uint64_t fileSize = static_cast<std::uint64_t>(size.QuadPart);
    const std::uint64_t imageEnd = ImageEnd();
    if (!Packed::HoldsPacked(packed, imageEnd, fileSize))
        return Fail(L"the disc's copy of the program is damaged (its length does not match)", 0);
    LARGE_INTEGER packedStart;
    packedStart.QuadPart = static_cast<LONGLONG>(imageEnd);
    if (!::SetFilePointerEx(file.value, packedStart, nullptr, FILE_BEGIN))
        return Fail(L"the disc's copy of the program cannot be read", ::GetLastError());

    const Memory program(packed.unpacked);
    if (!program.bytes) return Fail(L"there is not enough memory", ::GetLastError());
    // Unpacked as it is read, a piece at a time: the system reads ahead while the decoder works,
    // so the drive never waits for it.
    lzma_stream stream = LZMA_STREAM_INIT;
    // The packer keeps the dictionary within 64 MiB; the rest is the decoder's own state.
    if (lzma_stream_decoder(&stream, 80u << 20, LZMA_CONCATENATED) != LZMA_OK)
        return Fail(L"there is not enough memory", 0);
    stream.next_out = static_cast<std::uint8_t*>(program.bytes);
    stream.avail_out = static_cast<size_t>(packed.unpacked);
    std::uint64_t left = packed.packed;
    lzma_ret state = LZMA_OK;
    while (state == LZMA_OK) {
        if (stream.avail_in == 0 && left > 0) {
            DWORD got = 0;
            const DWORD want = left < sizeof piece ? static_cast<DWORD>(left) : DWORD(sizeof piece);
            if (!::ReadFile(file.value, piece, want, &got, nullptr) || got == 0) {
                const DWORD error = ::GetLastError();
                lzma_end(&stream);
                return Fail(L"the disc's copy of the program cannot be read", error);
            }
            stream.next_in = piece;
            stream.avail_in = got;
            left -= got;
        }
        state = lzma_code(&stream, left == 0 ? LZMA_FINISH : LZMA_RUN);
    }
    const bool whole =
        state == LZMA_STREAM_END && left == 0 && stream.avail_in == 0 && stream.total_out == packed.unpacked;
    lzma_end(&stream);
    if (!whole) return Fail(L"the disc's copy of the program is damaged (it does not unpack)", 0);
    // What lies in the key's folder is checked against the hash; so is what this program puts there.
    Sha256 hash;
    unsigned char digest[Packed::HashBytes];
    if (!hash.add(program.bytes, packed.unpacked) || !hash.finish(digest))
        return Fail(L"the system cannot check the program (SHA-256)", 0);
    if (!Packed::SameHash(packed, digest, sizeof digest))
        return Fail(L"the disc's copy of the program is damaged (it is not the program its stamp names)", 0);

    if (!MakeFolder(folder)) return Fail(L"the temporary folder cannot be written", ::GetLastError());
    partial[0] = L'\0';
    wchar_t process[16];
    std::size_t at = std::size(process) - 1;
    process[at] = L'\0';
    for (DWORD id = ::GetCurrentProcessId(); id != 0 || at == std::size(process) - 1; id /= 10)
        process[--at] = static_cast<wchar_t>(L'0' + id % 10);
    if (!Append(partial, target) || !Append(partial, L".") || !Append(partial, process + at) ||
        !Append(partial, L".part"))
        return Fail(L"the temporary folder's path is too long", 0);
    {
        Handle out(
            ::CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out.ok()) return Fail(L"the temporary folder cannot be written", ::GetLastError());
        // On the disk before its name is: a crash leaves the old copy or the whole new one.
        if (!WriteAll(out.value, program.bytes, packed.unpacked) || !::FlushFileBuffers(out.value)) {
            const DWORD error = ::GetLastError();
            out.reset(nullptr);
            ::DeleteFileW(partial);
            return Fail(L"the temporary folder cannot be written", error);
        }
    }
    // A read-only copy is replaced too; a running one cannot be, and this start runs its own.
    ::SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    placed = ::MoveFileExW(partial, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return 0;
}

// Removes what other discs' programs left in the temporary folder (`temp`, ending in a
// separator) beside `keep`: one copy is enough. Only folders named by a key are ours; a program
// still running cannot be deleted and stays, and so does a folder holding anything else.
void RemoveOthers(const wchar_t* temp, const wchar_t* keep) {
    wchar_t pattern[LongPath] = L"";
    if (!Append(pattern, temp) || !Append(pattern, L"discstart-*")) return;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
                FILE_ATTRIBUTE_DIRECTORY ||
            !Packed::IsKeyFolder(found.cFileName) || std::wcscmp(found.cFileName, keep) == 0)
            continue;
        wchar_t folder[LongPath] = L"";
        if (!Append(folder, temp) || !Append(folder, found.cFileName)) continue;
        RemoveCopies(folder, false);
        ::RemoveDirectoryW(folder);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace

}  // namespace discstart

using namespace discstart;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The system's DLLs from the system's folder alone, whatever lies beside this program.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    static wchar_t self[LongPath];
    const DWORD selfLength = ::GetModuleFileNameW(nullptr, self, LongPath);
    if (selfLength == 0 || selfLength >= LongPath)
        return Fail(L"it cannot find where it lies", ::GetLastError());

    char stampBytes[Packed::StampSize];
    for (std::size_t i = 0; i < Packed::StampSize; ++i) stampBytes[i] = stamp[i];
    Stamp packed;
    if (!Packed::ReadStamp({stampBytes, Packed::StampSize}, packed))
        return Fail(L"the disc's copy of the program is damaged (nothing appended to it)", 0);
    static wchar_t folder[LongPath];
    static wchar_t target[LongPath];
    const DWORD temp = ::GetTempPathW(LongPath, folder);
    if (temp == 0 || temp >= LongPath) return Fail(L"there is no temporary folder", ::GetLastError());
    wchar_t name[32] = L"discstart-";
    for (const char c : packed.key)
        Append(name, L"0123456789abcdef" + (c <= '9' ? c - '0' : c - 'a' + 10), 1);
    if (!Append(folder, name) || !Append(target, folder) || !Append(target, L"\\discstart.exe"))
        return Fail(L"the temporary folder's path is too long", 0);

    // The key names the folder, the hash the bytes: a copy found there runs only when it is the
    // program this one carries (anything may have been put there), else this one unpacks its own.
    Handle held;
    const wchar_t* run = target;
    if (!Genuine(packed, target, held)) {
        static wchar_t partial[LongPath];
        bool placed = false;
        if (const int status = Unpack(packed, self, folder, target, partial, placed)) return status;
        if (placed) RemoveCopies(folder, true);
        run = placed ? target : partial;
        // A start beside this one may have put its own copy in place meanwhile: that is as good.
        if (!Genuine(packed, run, held) && !Genuine(packed, run = target, held))
            return Fail(L"the unpacked program was changed before it could start", 0);
        folder[temp] = L'\0';
        RemoveOthers(folder, name);
    }

    static wchar_t keyFolder[LongPath];
    Append(keyFolder, target);
    keyFolder[std::wcslen(keyFolder) - Packed::ProgramName.size() - 1] = L'\0';
    if (!RemoveStrangers(keyFolder))
        return Fail(L"the temporary folder holds files beside the program that cannot be removed", 0);

    const wchar_t* commandLine = ::GetCommandLineW();
    const wchar_t* arguments = commandLine + Packed::ArgumentsStart(commandLine);
    static wchar_t line[LongPath];
    if (!Append(line, L"\"") || !Append(line, run) || !Append(line, L"\" ") || !Append(line, arguments))
        return Fail(L"its command line is too long", 0);
    ::SetEnvironmentVariableW(StartedAs, self);

    // The window program answers to whoever started this one: its output goes where this
    // program's would, and its exit status becomes this program's.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(run, line, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                          &process))
        return Fail(L"the unpacked program does not start", ::GetLastError());
    held.reset(nullptr);
    // Ended with this program (whoever ends discstart.exe ends the window), but what the window
    // starts, the film's player, goes on by itself.
    if (const HANDLE job = ::CreateJobObjectW(nullptr, nullptr)) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        if (!::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !::AssignProcessToJobObject(job, process.hProcess))
            ::CloseHandle(job);  // the window then merely outlives this program if it is killed
    }
    // The viewer started this program; its window is the one that should come to the front.
    ::AllowSetForegroundWindow(process.dwProcessId);
    ::ResumeThread(process.hThread);
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
