#pragma once

#include <QByteArray>
#include <optional>

#include "cli/standard_streams.h"

namespace discstart {

// Where the stream is a console: writes the UTF-8 text as the text itself (WriteConsoleW) and
// tells whether that worked. Where it is a file or a pipe: nothing, and no value.
std::optional<bool> WriteToConsole(StandardStream stream, const QByteArray& utf8);

}  // namespace discstart
