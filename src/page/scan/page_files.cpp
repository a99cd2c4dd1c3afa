#include "page/scan/page_files.h"

#include <algorithm>
#include <deque>
#include <set>

#include "page/scan/page_budgets.h"

namespace discstart {

namespace {

// A disc that links thousands of pages must not stall discinfo: no more than this is read in
// all, and a loop of generated names stops here.
constexpr std::int64_t MaxTotalBytes = 64 << 20;
constexpr std::size_t MaxReferences = 5000;

enum class Kind { Other, Page, StyleSheet };

Kind KindOf(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return Kind::Other;
    std::string suffix = path.substr(dot + 1);
    for (char& c : suffix) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (suffix == "htm" || suffix == "html" || suffix == "xhtml") return Kind::Page;
    return suffix == "css" ? Kind::StyleSheet : Kind::Other;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

struct Pending {
    std::string path;
    std::string text;
};

class Walk {
  public:
    Walk(const std::string& folder, const FileOpener& files, const PageTextDecoder& decode)
        : access_(folder, files), decode_(decode) {}

    // Opens a file the page names; a page or style sheet is read, to be followed.
    PageRefusal visit(const std::string& path) {
        PageFile file = access_.open(path);
        const Kind kind = KindOf(path);
        if (file.refusal != PageRefusal::None) return file.refusal;
        if (kind == Kind::Other)
            return file.size > MaxPageResourceBytes ? PageRefusal::TooLarge : PageRefusal::None;
        std::string bytes;
        const std::int64_t budget = kind == Kind::Page ? MaxPageBytes : MaxStyleBytes;
        if (!ReadWhole(*file.file, std::min(budget, left_), bytes))
            return file.file->error() ? PageRefusal::Unreadable : PageRefusal::TooLarge;
        left_ -= std::int64_t(bytes.size());
        pending_.push_back({path, kind == Kind::Page && decode_ ? decode_(bytes) : std::move(bytes)});
        return PageRefusal::None;
    }

    std::deque<Pending>& pending() { return pending_; }

  private:
    PageAccess access_;
    const PageTextDecoder& decode_;
    std::deque<Pending> pending_;
    std::int64_t left_ = MaxTotalBytes;
};

}  // namespace

std::vector<PageReference> PageReferences(const std::string& folder, const std::string& page,
                                          const FileOpener& files, const PageTextDecoder& decode) {
    std::vector<PageReference> out;
    Walk walk(folder, files, decode);
    // The page itself refused (over its budget: the window shows it blank) is named, from no file.
    if (const PageRefusal own = walk.visit(page); own != PageRefusal::None) {
        out.push_back({{}, page, page, own});
        return out;
    }
    std::set<std::string> seen{page};
    std::set<std::pair<std::string, std::string>> outside;
    while (!walk.pending().empty() && out.size() < MaxReferences) {
        const Pending current = std::move(walk.pending().front());
        walk.pending().pop_front();
        const auto links =
            KindOf(current.path) == Kind::StyleSheet ? CssLinks(current.text) : HtmlLinks(current.text);
        for (const std::string& link : links) {
            const ResolvedLink resolved = ResolveLink(FolderOf(current.path), link);
            if (resolved.target == LinkTarget::Outside && outside.insert({current.path, link}).second)
                out.push_back({current.path, link, {}, PageRefusal::Outside});
            if (resolved.target != LinkTarget::Inside || !seen.insert(resolved.path).second) continue;
            out.push_back({current.path, link, resolved.path, walk.visit(resolved.path)});
        }
    }
    return out;
}

}  // namespace discstart
