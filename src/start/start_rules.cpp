#include "start/start_rules.h"

#include "start/text.h"

namespace discstart {

namespace Start {

namespace {

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithFolded(std::string_view name, std::string_view end) {
    if (name.size() < end.size()) return false;
    const char* at = name.data() + name.size() - end.size();
    for (const char c : end) {
        if (Lower(*at++) != c) return false;
    }
    return true;
}

}  // namespace

QtWish ParseQtWish(const char* value) {
    const std::string_view wish = value ? value : "";
    if (wish == "host") return QtWish::Host;
    if (wish == "disc") return QtWish::Disc;
    return QtWish::Either;
}

const char* PlatformToSet(const Session& session) {
    if (Set(session.platform) || !Set(session.wayland)) return nullptr;
    return Set(session.display) ? "xcb" : "wayland";
}

std::string_view FirstWindowSystem(const Session& session) {
    std::string_view chosen;
    if (Set(session.platform)) {
        chosen = Head(session.platform, std::string_view(session.platform).find_first_of(";:"));
    } else if (const char* set = PlatformToSet(session)) {
        chosen = set;
    } else if (Set(session.wayland)) {
        chosen = "wayland";
    } else if (Set(session.display)) {
        chosen = "xcb";
    }
    // wayland-egl, wayland-generic and the like read the same libraries.
    if (Head(chosen, 7) == "wayland") return "wayland";
    if (chosen == "xcb") return "xcb";
    return "";
}

bool NoDisplay(const Session& session) {
    return !Set(session.platform) && !Set(session.display) && !Set(session.wayland);
}

OrderLine ParseOrderLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    const auto space = line.find(' ');
    if (space == std::string_view::npos || space == 0 || space + 1 == line.size()) return {};
    return {Head(line, space), Tail(line, space + 1)};
}

std::string_view FilmOf(std::string_view order) {
    while (!order.empty()) {
        const size_t end = order.find('\n');
        const OrderLine line = ParseOrderLine(Head(order, end));
        if (line.group == "movie") return line.path;
        order = end == std::string_view::npos ? std::string_view() : Tail(order, end + 1);
    }
    return {};
}

bool StaysInside(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.find('\0') != std::string_view::npos) return false;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        if (Head(path, slash) == "..") return false;
        path = slash == std::string_view::npos ? std::string_view() : Tail(path, slash + 1);
    }
    return true;
}

bool Beneath(std::string_view resolved, std::string_view folder) {
    while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    return resolved.size() > folder.size() + 1 && Head(resolved, folder.size()) == folder &&
           resolved[folder.size()] == '/';
}

int FilmListOf(std::string_view name) {
    if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos) return 0;
    if (EndsWithFolded(name, ".avi")) return 1;
    for (const std::string_view film : {".mp4", ".m4v", ".mkv", ".webm"}) {
        if (EndsWithFolded(name, film)) return 2;
    }
    return 0;
}

bool ListedBefore(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return Lower(a[i]) < Lower(b[i]);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
    }
    return false;
}

bool ReadBeforeStart(const OrderLine& line, QtSource source, std::string_view windowSystem) {
    if (line.path.empty()) return false;
    if (source == QtSource::Host) return line.group == "host";
    return line.group == "disc" || (!windowSystem.empty() && line.group == windowSystem);
}

size_t OrderLength(std::string_view footer) {
    if (footer.size() != OrderFooterSize || Head(footer, OrderFooterTag.size()) != OrderFooterTag ||
        footer.back() != '\n')
        return 0;
    size_t length = 0;
    for (const char digit : Head(Tail(footer, OrderFooterTag.size()), 10)) {
        if (digit < '0' || digit > '9') return 0;
        length = length * 10 + static_cast<size_t>(digit - '0');
    }
    return length;
}

}  // namespace Start

}  // namespace discstart
