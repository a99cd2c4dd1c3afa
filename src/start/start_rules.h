#pragma once

#include <string_view>

namespace discstart {

// The choices the disc's Linux start makes before it runs the launcher, kept apart from the
// system calls so that tests can walk them. Nothing here allocates: the start program links
// the C library alone.
namespace Start {

// Where the launcher finds Qt: the machine's own, or the copy on the disc.
enum class QtSource { Host, Disc };

// What the viewer asked for in DISCSTART_QT: "host" or "disc" force a side, anything else
// (unset included) leaves it to the machine.
enum class QtWish { Either, Host, Disc };
QtWish ParseQtWish(const char* value);

// The window systems the session offers, as Qt sees them.
struct Session {
    const char* platform = nullptr;  // QT_QPA_PLATFORM
    const char* display = nullptr;   // DISPLAY
    const char* wayland = nullptr;   // WAYLAND_DISPLAY
};

// The QT_QPA_PLATFORM to set, or nullptr to leave it. Where XWayland is there the launcher
// prefers X, where a window can place itself and stay on top. A plain "xcb", as the launcher
// sets it itself: the player it starts inherits it, and Qt 5 reads no list. Wayland alone is
// named too: Qt tries X first where the session does not say it is Wayland's (and on GNOME).
const char* PlatformToSet(const Session& session);

// The window system Qt will try first ("xcb", "wayland"), "" when neither.
std::string_view FirstWindowSystem(const Session& session);

// Whether the session offers no window system at all: none named, no X display, no Wayland.
bool NoDisplay(const Session& session);

// One line of the disc's read order: "GROUP PATH", PATH relative to the disc's folder.
// Groups: "host" (read before the launcher runs on the machine's Qt), "disc" (before it runs
// on the disc's Qt), "xcb" and "wayland" (before it runs on the disc's Qt with that window
// system). A "movie" line names the film and is not read. Empty or malformed lines give an
// empty path.
struct OrderLine {
    std::string_view group;
    std::string_view path;
};
OrderLine ParseOrderLine(std::string_view line);

// The film the launcher would play, relative to the disc's folder: the read order's "movie"
// line (make-disc writes it from discinfo's answer), empty when there is none.
std::string_view FilmOf(std::string_view order);

// Whether a read-order path stays inside the disc's folder as it is spelled: relative, no ".."
// part, no zero byte. (Where a link leads is for the opened file to say: Beneath.)
bool StaysInside(std::string_view path);

// Whether `resolved`, the path a file opened from the disc really has, lies inside `folder`.
bool Beneath(std::string_view resolved, std::string_view folder);

// Which of the window's movie patterns a name of the disc's folder matches, any letter case:
// 1 the AVI files ("*.avi"), 2 the films taken where there is none (.mp4 .m4v .mkv .webm),
// 0 neither, or a path. (The lists leave hidden names out besides.)
int FilmListOf(std::string_view name);

// Whether the window lists `a` before `b`: by name ignoring letter case, then by byte, so that
// the first is always the same file.
bool ListedBefore(std::string_view a, std::string_view b);

// Whether a line of the read order is read before the launcher starts on `source` under
// `windowSystem`.
bool ReadBeforeStart(const OrderLine& line, QtSource source, std::string_view windowSystem);

// The read order travels at the end of the start program's own file, which is read anyway:
// the text, then this footer: "\n#read-order " and the text's length in ten digits, "\n".
inline constexpr std::string_view OrderFooterTag = "\n#read-order ";
inline constexpr size_t OrderFooterSize = OrderFooterTag.size() + 10 + 1;
// The length of the text before `footer` (the file's last OrderFooterSize bytes), 0 when the
// footer is not one.
size_t OrderLength(std::string_view footer);

}  // namespace Start

}  // namespace discstart
