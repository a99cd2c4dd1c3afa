#pragma once

#include <functional>
#include <memory>

namespace discstart {

class Form1;
class Platform;

// The program's start: the application object, Form1, Form_Load, show, then the event loop
// until the window ends it. A start-up measurement hands in its own platform and a window
// that reports what it sees; the program itself passes nothing.
struct ProgramParts {
    std::function<std::unique_ptr<Platform>()> platform;
    std::function<std::unique_ptr<Form1>(Platform&)> form;
};
int RunProgram(int argc, char** argv, const ProgramParts& parts = {});

}  // namespace discstart
