#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bytes/byte_file.h"

namespace discstart {

// Why a disc page may not load a file it names. The one rule for both page engines and for
// what discinfo lists as the page's files (and so for what a disc made from them holds).
enum class PageRefusal {
    None,
    Outside,      // the name leads out of the page's folder: "..", an absolute path, another drive
    Hidden,       // a name the file list hides: starting with '.', or marked hidden or system
    LinkOutside,  // a link on the way leads out of the folder
    Special,      // not a plain file: a folder, device, FIFO or socket, or a file of /proc or /sys
    Missing,      // nothing there, or a broken link
    Unreadable,   // there, but it cannot be opened (permissions)
    TooLarge,     // past the budget of what the page may read
};
// "outside", "hidden", "link-outside", "special", "missing", "unreadable", "too-large"; "" for None.
const char* PageRefusalName(PageRefusal refusal);

struct PageFile {
    PageRefusal refusal = PageRefusal::Missing;
    std::unique_ptr<ByteFile> file;  // when admitted
    std::int64_t size = 0;           // as the file system says: a hint, never a bound for a read
};

// What a page in `folder` may load: the plain files of that folder and below it, none hidden,
// none reached through a link that leads out of it. Paths are the system's own (bytes; UTF-8
// on Windows).
class PageAccess {
  public:
    PageAccess() = default;
    explicit PageAccess(const std::string& folder, const FileOpener& files);

    bool isEmpty() const { return root_.empty(); }
    // `relative`: a path below the folder, '/' between names, as ResolveLink gives it.
    PageFile open(std::string_view relative) const;
    PageRefusal check(std::string_view relative) const { return open(relative).refusal; }
    // The path below the folder that `path` (written from where the folder is written) names,
    // dot names resolved; nothing when it leads out of the folder.
    std::optional<std::string> below(std::string_view path) const;

  private:
    std::string folder_;  // as given, '/' between names
    std::string root_;    // where it really is
    const FileOpener* files_ = nullptr;
};

}  // namespace discstart
