#include "readers/page_files.h"

#include <algorithm>
#include <deque>
#include <set>

namespace discstart {

namespace {

// Pages and style sheets past this size are not read for further references, and no more than
// this in all: a disc that links thousands of large pages must not stall discinfo.
constexpr std::int64_t MaxReadBytes = 8 << 20;
constexpr std::int64_t MaxTotalBytes = 64 << 20;
// A disc's pages link a handful of files; a loop of generated names stops here.
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

std::string ReadText(const FileOpener& files, const std::string& path, std::int64_t& budget) {
    const auto file = files.open(path);
    const auto length = files.length(path);
    if (!file || !length) return {};
    const auto bytes = file->read(0, std::size_t(std::min({*length, MaxReadBytes, budget})));
    budget -= std::int64_t(bytes.size());
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::vector<PageReference> PageReferences(const std::string& folder, const std::string& page,
                                          const FileOpener& files) {
    std::vector<PageReference> out;
    std::set<std::string> seen{page};
    std::set<std::pair<std::string, std::string>> outside;
    std::deque<std::string> queue{page};
    std::int64_t budget = MaxTotalBytes;
    while (!queue.empty() && out.size() < MaxReferences && budget > 0) {
        const std::string current = queue.front();
        queue.pop_front();
        std::string path = folder;
        path.append(1, '/').append(current);
        const std::string text = ReadText(files, path, budget);
        const auto links = KindOf(current) == Kind::StyleSheet ? CssLinks(text) : HtmlLinks(text);
        for (const std::string& link : links) {
            const ResolvedLink resolved = ResolveLink(FolderOf(current), link);
            if (resolved.target == LinkTarget::Outside && outside.insert({current, link}).second) {
                out.push_back({current, link, LinkTarget::Outside, {}, false});
            }
            if (resolved.target != LinkTarget::Inside || !seen.insert(resolved.path).second) continue;
            const bool present = files.length(folder + "/" + resolved.path).has_value();
            out.push_back({current, link, LinkTarget::Inside, resolved.path, present});
            if (present && KindOf(resolved.path) != Kind::Other) queue.push_back(resolved.path);
        }
    }
    return out;
}

}  // namespace discstart
