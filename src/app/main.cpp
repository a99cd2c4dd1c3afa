#include "app/program.h"

int main(int argc, char** argv) {
    return discstart::RunProgram(argc, argv);
}
