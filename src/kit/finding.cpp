#include "kit/finding.h"

#include <cstdint>

namespace discstart {

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Note:
            return "note";
        case Severity::Warning:
            return "warning";
        case Severity::Error:
            return "error";
    }
    return "note";
}

std::string FindingLine(const Finding& finding) {
    std::string line = SeverityName(finding.severity);
    line += "[" + finding.code + "]: ";
    if (!finding.file.empty()) line += finding.file + ": ";
    line += finding.seen;
    if (!finding.todo.empty()) line += " \u2014 " + finding.todo;
    return line;
}

int ExitStatus(const std::vector<Finding>& findings) {
    int status = 0;
    for (const auto& f : findings) {
        if (f.severity == Severity::Error) return 2;
        if (f.severity == Severity::Warning) status = 1;
    }
    return status;
}

std::string MegabyteText(std::uint64_t bytes) {
    std::uint64_t hundredths = (bytes * 100 + 524288) / 1048576;
    std::string cents = std::to_string(hundredths % 100);
    if (cents.size() < 2) cents.insert(0, "0");
    return std::to_string(hundredths / 100) + "." + cents + " MB";
}

std::string PrintableCode(const std::string& raw) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : raw) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace discstart
