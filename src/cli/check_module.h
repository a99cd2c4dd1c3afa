#pragma once

#include <cstddef>

namespace discstart {

// Where the disc check writes its findings: UTF-8 bytes; false when they could not be written.
using CheckOutput = bool (*)(const char* bytes, std::size_t size);

// The library that discinfo --check loads from its own folder.
inline constexpr const char* CheckModuleName = "discinfo_check";
// extern "C" int discinfo_run_check(const char* folder, CheckOutput output): the folder's exact
// bytes (UTF-8 on Windows); hands one line per finding to `output` and returns the exit
// status, or -1 when the output could not be written.
inline constexpr const char* CheckModuleEntry = "discinfo_run_check";
using CheckModuleEntryFunction = int (*)(const char* folder, CheckOutput output);

}  // namespace discstart
