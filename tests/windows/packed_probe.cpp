// Stands in for the window program behind the start program (tests/windows/packed-start-under-wine):
// it says who it is, from where it runs and what it was given, and ends with status 3. The test
// makes a planted copy of the same size by changing the word it says.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, self, DWORD(sizeof self / sizeof *self));
    std::printf("genuine-probe\n%ls\n", self);
    for (int i = 1; i < argc; ++i) std::printf("%ls\n", argv[i]);
    // Asked to, it stays running a while, as a window would: its file is then in use.
    if (argc > 1 && argv[1][0] == L'w') ::Sleep(DWORD(_wtoi(argv[1] + 1)));
    return 3;
}
