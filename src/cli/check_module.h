#pragma once

namespace discstart {

// The library that discinfo --check loads from its own folder.
inline constexpr const char* CheckModuleName = "discinfo_check";
// extern "C" int discinfo_run_check(const char* folder): the folder's exact bytes (UTF-8 on
// Windows); prints one line per finding on stdout and returns the exit status.
inline constexpr const char* CheckModuleEntry = "discinfo_run_check";
using CheckModuleEntryFunction = int (*)(const char* folder);

}  // namespace discstart
