#pragma once

#include <QString>
#include <string>

namespace discstart {

// Why a file or folder cannot be read, in the system's words ("Permission denied"), or an
// empty text when it can. By the path's exact bytes (system/system.h), like everything on a disc.
QString OpenError(const std::string& path);
QString ListError(const std::string& folder);

}  // namespace discstart
