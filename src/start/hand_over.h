#pragma once

#include <string_view>

#include "start/cannot_start.h"

namespace discstart {

// What the start program does when the launcher cannot run on this machine: find out why
// without running it, say so, and hand the film to the system's player.
namespace Start {

// Asks the dynamic loader whether `program` can run here, without running it. false with
// `obstacle` filled when it cannot.
bool LauncherRuns(const char* program, Obstacle& obstacle);

// Says why where the desktop shows it (a notification through notify-send, else gdbus, and
// always on stderr), then hands `film` (or, without one, `folder`) to xdg-open, exactly as
// the launcher's play button does: that path, working folder /, a session of its own.
void ReportAndHandOver(const Obstacle& obstacle, const char* folder, std::string_view film);

}  // namespace Start

}  // namespace discstart
