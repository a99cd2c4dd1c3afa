#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace discstart {

enum class Severity { Note, Warning, Error };

// One thing the window will show less or other than the disc's author expects.
struct Finding {
    Severity severity = Severity::Note;
    std::string code;  // stable short name, e.g. "avi-single-stream"
    std::string file;  // the file it is about; empty for the folder as a whole
    std::string seen;  // what the viewer will see (UTF-8)
    std::string todo;  // what to do about it (UTF-8)
};

const char* SeverityName(Severity severity);

// "warning[avi-vbr-audio]: film.avi: <seen> — <todo>"
std::string FindingLine(const Finding& finding);

// 0 when there is nothing above a note, 1 for warnings only, 2 when there is an error.
int ExitStatus(const std::vector<Finding>& findings);

// Bytes as mebibytes with two decimals, locale-free, for messages.
std::string MegabyteText(std::uint64_t bytes);

// A four-character code for messages: printable bytes as they are, others as \xNN.
std::string PrintableCode(const std::string& raw);

}  // namespace discstart
