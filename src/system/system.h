#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bytes/byte_file.h"

namespace discstart {

// What the program asks of the operating system about files and about itself; the one place
// where the systems differ. A path is the system's own bytes: any bytes on Linux, UTF-8 on
// Windows (which the system takes as UTF-16).

// Plain files only, opened without blocking (a FIFO named film.avi must not hang us), and
// refused by what they are, not by their size: a link to /proc/self/pagemap is a "regular" file
// of size 0 that reads forever.
const FileOpener& DiskFiles();

// A path with the system's own separators written as '/' (only Windows has others).
std::string GenericPath(std::string path);
// Whether `c` ends a folder's name in a path: '/', and on Windows '\' too.
bool IsPathSeparator(char c);
// The separator the system writes: '/', on Windows '\'.
char PathSeparator();
// Whether a name may hold bytes that are not UTF-8 (Linux); Windows' names always convert.
bool NamesAreBytes();
// The path as std::filesystem takes it.
std::filesystem::path FileSystemPath(const std::string& path);

// The names of the files in `folder` a listing shows, in the system's order: plain files and
// links to them, neither hidden (a dot name on Linux, the hidden or system attribute on
// Windows) nor made up by the kernel as they are read. `wanted` sees each name first, so that a
// file not asked for costs no look at what it is. Empty when the folder cannot be read.
std::vector<std::string> ListFiles(const std::string& folder,
                                   const std::function<bool(const std::string&)>& wanted);

// The folder of the program the viewer started (a root keeps its separator); empty when the
// system cannot tell. On a Windows disc that is the start program, which runs this one from
// elsewhere and names itself in the environment (read once, and not handed on to the player).
std::string ProgramFolder();
// The program's arguments after its name, each as the system's own path bytes.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// The file the code at `address` was loaded from, every link followed; empty where the program
// is one file (Windows) or the system cannot tell.
std::string LoadedFrom(const void* address);
// The address of `symbol` in the shared library `name` in `folder` ("lib<name>.so" or
// "<name>.dll"), which stays loaded; nullptr when there is none.
void* LibrarySymbol(const std::string& folder, const char* name, const char* symbol);
// From here on the system loads libraries from its own folder only, not from beside the program
// (the start program runs it from the temporary folder, where anything may lie). Nothing on Linux.
void LimitLibrarySearch();

}  // namespace discstart
