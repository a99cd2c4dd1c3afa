#include "app/program.h"
#include "system/system.h"

int main(int argc, char** argv) {
    // The start program runs this from the user's temporary folder, where anything may lie beside
    // it: what the system and Qt load later comes from the system's folder alone.
    discstart::LimitLibrarySearch();
    return discstart::RunProgram(argc, argv);
}
