#include "app/program.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The start program runs this from the user's temporary folder, where anything may lie beside
    // it: what the system and Qt load later comes from the system's folder alone.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
#endif
    return discstart::RunProgram(argc, argv);
}
