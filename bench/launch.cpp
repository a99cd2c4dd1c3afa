// launch PROGRAM [ARG...]: runs PROGRAM with the time just before the exec in its
// environment, so the program can tell how long its own start took, exec and loading
// included. The kernel's own start time of a process comes in 10 ms ticks: too coarse.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "start_probe.h"

using namespace discstart;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: launch PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    const std::string now = std::to_string(MonotonicNanoseconds());
    setenv(LaunchClockVariable, now.c_str(), 1);
    execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    return 127;
}
