#pragma once

#include <QString>
#include <string>
#include <vector>

namespace discstart {

// A hidden file list: the plain, non-hidden files of `Path` whose names match one of the
// ";"-separated wildcard patterns, case-insensitive, sorted by name ignoring case (names
// equal but for case ordered by code point, so the first entry is always the same file).
// Setting Path or Pattern refills it (read on first use, which nobody can tell apart). Only regular files and
// links to them count, not one the kernel makes up as it is read (a link into /proc or /sys).
// The folder and the names are the system's own bytes (system/system.h), as the disk takes them.
class FileList {
  public:
    void setPath(const std::string& path);
    void setPattern(const QString& pattern);
    const std::string& path() const { return path_; }
    QString pattern() const { return pattern_; }

    int ListCount() const { return int(names().size()); }
    // Entry i, or the empty text when there is none.
    std::string List(int i) const;
    const std::vector<std::string>& names() const;

  private:
    void refill() const;

    std::string path_;
    QString pattern_ = QStringLiteral("*.avi");
    // Filled on first use after a change: setting Path and then Pattern reads the folder once.
    mutable std::vector<std::string> names_;
    mutable bool stale_ = true;
};

}  // namespace discstart
