#include "page/scan/page_access.h"

#include <vector>

#include "system/system.h"

namespace discstart {

namespace {

std::vector<std::string_view> Names(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool HasHiddenName(std::string_view path) {
    for (const std::string_view name : Names(path)) {
        if (!name.empty() && name.front() == '.') return true;
    }
    return false;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/' && !(path.size() == 3 && path[1] == ':')) path.pop_back();
    return path;
}

// The path with "." names and doubled separators left out and ".." taken back, as a URL's path
// is; its start ("/", "//" of a network share) kept. Nothing when ".." would go above it.
std::optional<std::string> Lexical(std::string_view path) {
    const std::size_t start = path.rfind("//", 0) == 0 ? 2 : (path.rfind('/', 0) == 0 ? 1 : 0);
    std::vector<std::string_view> names;
    for (const std::string_view name : Names(path.substr(start))) {
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names.empty() || names.back() == "..") {
                if (start > 0) return std::nullopt;
                names.push_back(name);
            } else {
                names.pop_back();
            }
            continue;
        }
        names.push_back(name);
    }
    std::string out(path.substr(0, start));
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) out += '/';
        out.append(names[i]);
    }
    if (out.size() == 2 && out[1] == ':') out += '/';  // a drive's root, not its current folder
    return out.empty() ? std::string(".") : out;
}

std::string Joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    return path.append(name);
}

}  // namespace

const char* PageRefusalName(PageRefusal refusal) {
    switch (refusal) {
        case PageRefusal::None:
            return "";
        case PageRefusal::Outside:
            return "outside";
        case PageRefusal::Hidden:
            return "hidden";
        case PageRefusal::LinkOutside:
            return "link-outside";
        case PageRefusal::Special:
            return "special";
        case PageRefusal::Missing:
            return "missing";
        case PageRefusal::Unreadable:
            return "unreadable";
        case PageRefusal::TooLarge:
            return "too-large";
    }
    return "";
}

PageAccess::PageAccess(const std::string& folder, const FileOpener& files)
    : folder_(Lexical(GenericPath(folder)).value_or(std::string())), files_(&files) {
    if (folder_.empty()) return;
    if (auto real = files.realPath(folder_)) root_ = WithoutTrailingSlash(std::move(*real));
}

PageFile PageAccess::open(std::string_view relative) const {
    PageFile out;
    if (root_.empty() || relative.empty()) return out;
    for (const std::string_view name : Names(relative)) {
        if (name.empty() || name == "." || name == "..") {
            out.refusal = PageRefusal::Outside;
            return out;
        }
    }
    if (HasHiddenName(relative)) {
        out.refusal = PageRefusal::Hidden;
        return out;
    }
    const std::string path = Joined(folder_, relative);
    const std::optional<std::string> real = files_->realPath(path);
    if (!real) return out;
    const std::string prefix = Joined(root_, "");
    if (real->compare(0, prefix.size(), prefix) != 0) {
        out.refusal = PageRefusal::LinkOutside;
        return out;
    }
    // Where a link leads counts as much as what it is called.
    const std::string_view inside = std::string_view(*real).substr(prefix.size());
    if (HasHiddenName(inside)) {
        out.refusal = PageRefusal::Hidden;
        return out;
    }
    std::string step = root_;
    for (const std::string_view name : Names(inside)) {
        step = Joined(step, name);
        if (files_->hiddenByAttributes(step)) {
            out.refusal = PageRefusal::Hidden;
            return out;
        }
    }
    OpenedFile opened = files_->openChecked(path);
    switch (opened.state) {
        case FileState::Plain:
            out.refusal = PageRefusal::None;
            out.file = std::move(opened.file);
            out.size = opened.size;
            break;
        case FileState::Missing:
            out.refusal = PageRefusal::Missing;
            break;
        case FileState::Special:
            out.refusal = PageRefusal::Special;
            break;
        case FileState::Unreadable:
            out.refusal = PageRefusal::Unreadable;
            break;
    }
    return out;
}

std::optional<std::string> PageAccess::below(std::string_view path) const {
    std::optional<std::string> lexical = Lexical(GenericPath(std::string(path)));
    if (!lexical || folder_.empty()) return std::nullopt;
    if (folder_ == ".") {
        if (lexical->front() == '/' || lexical->rfind("..", 0) == 0 || *lexical == ".") return std::nullopt;
        return lexical;
    }
    const std::string prefix = Joined(folder_, "");
    if (lexical->compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return lexical->substr(prefix.size());
}

}  // namespace discstart
