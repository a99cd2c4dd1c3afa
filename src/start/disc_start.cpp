// The program a Linux desktop starts from the disc (autorun.sh, or by hand). It runs the
// launcher on the machine's own Qt when that is there and new enough, else on the Qt the disc
// carries. Before the launcher starts it reads what the launcher is going to load in one pass,
// in the order the files lie on the disc: the dynamic loader would page them in at random, and
// every jump costs an optical drive a seek.
//
//   NAME-host   the launcher, linked to Qt as the machine has it
//   NAME-disc   the launcher that brings its Qt: one file with Qt linked in, or the same
//               launcher with a run path into qt/, the disc's Qt
// and, appended to this program's own file, "GROUP PATH" lines in disc order (start_rules.h).
// Where neither can run (no display, too old a C library, libraries missing), it says why and
// hands the film to the system's player: it never ends without a word.
//
// DISCSTART_QT=disc (or host) makes the choice by hand.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "start/hand_over.h"
#include "start/start_rules.h"
#include "system/made_up.h"

namespace discstart {

namespace {

using Start::QtSource;

// The Qt the launcher was built with, as the loader checks it: a symbol version of QtCore.
constexpr const char* QtVersionTag = DISCSTART_QT_VERSION_TAG;

constexpr int MaxFilesRead = 256;
char orderText[64 * 1024];
char readBuffer[1024 * 1024];
char filmName[NAME_MAX + 1];

// `head` then `tail` into `out`; false when they do not fit.
bool Join(char (&out)[PATH_MAX], std::string_view head, std::string_view tail) {
    if (head.size() + tail.size() >= sizeof out) return false;
    std::memcpy(out, head.data(), head.size());
    std::memcpy(out + head.size(), tail.data(), tail.size());
    out[head.size() + tail.size()] = '\0';
    return true;
}

bool FolderHoldsWaylandPlugin(const char* folder) {
    DIR* dir = opendir(folder);
    if (!dir) return true;  // a layout we do not know: let the machine's Qt decide for itself
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "libqwayland", 11) == 0) found = true;
    }
    closedir(dir);
    return found;
}

// Loading the machine's Qt the way the launcher will is the one sure test: the loader refuses
// a Qt older than the one the launcher was built with by its symbol versions.
bool HostQtServes(std::string_view windowSystem) {
    if (!dlopen("libQt6Widgets.so.6", RTLD_LAZY | RTLD_LOCAL)) return false;
    void* core = dlopen("libQt6Core.so.6", RTLD_LAZY | RTLD_NOLOAD);
    void* tag = core ? dlvsym(core, "qt_version_tag", QtVersionTag) : nullptr;
    if (!tag) return false;
    if (windowSystem != "wayland") return true;
    // Without X the machine's Qt also needs its Wayland plugin, which is a package of its own.
    Dl_info info;
    if (!dladdr(tag, &info) || !info.dli_fname) return true;
    char plugins[PATH_MAX];
    const char* slash = std::strrchr(info.dli_fname, '/');
    if (!slash || !Join(plugins, {info.dli_fname, static_cast<size_t>(slash - info.dli_fname)},
                        "/qt6/plugins/platforms"))
        return true;
    return FolderHoldsWaylandPlugin(plugins);
}

std::string_view ReadOrder(const char* self) {
    const int file = open(self, O_RDONLY | O_CLOEXEC);
    if (file < 0) return {};
    char footer[Start::OrderFooterSize];
    const off_t end = lseek(file, 0, SEEK_END);
    size_t length = 0;
    if (end > static_cast<off_t>(sizeof footer) &&
        pread(file, footer, sizeof footer, end - static_cast<off_t>(sizeof footer)) ==
            static_cast<ssize_t>(sizeof footer))
        length = Start::OrderLength({footer, sizeof footer});
    const off_t start = end - static_cast<off_t>(sizeof footer + length);
    if (length == 0 || length > sizeof orderText || start < 0 ||
        pread(file, orderText, length, start) != static_cast<ssize_t>(length))
        length = 0;
    close(file);
    return {orderText, length};
}

// A file of the disc, `path` relative to `folder`, opened to be read into `file`: the disc is
// untrusted, so only a plain file inside its folder, and opened without blocking (a FIFO or a
// device under a library's name would hold the start for ever). `size` is its length now.
bool OpenOnDisc(std::string_view folder, std::string_view path, int& file, off_t& size) {
    char full[PATH_MAX];
    char directory[PATH_MAX];
    if (!Start::StaysInside(path) || !Join(directory, folder, "/") || !Join(full, directory, path))
        return false;
    // A device is not even opened (opening some does something); the open file is asked again.
    struct stat status {};
    if (stat(full, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const int fd = open(full, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct statfs system {};
    char link[64];
    char resolved[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    // Where the file really is, links followed: a link out of the disc is not the disc's.
    const ssize_t length = readlink(link, resolved, sizeof resolved);
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || fstatfs(fd, &system) != 0 ||
        MadeUpFileSystem(static_cast<unsigned long>(system.f_type)) || length <= 0 ||
        length >= static_cast<ssize_t>(sizeof resolved) ||
        !Start::Beneath({resolved, static_cast<size_t>(length)}, folder)) {
        close(fd);
        return false;
    }
    file = fd;
    size = status.st_size;
    return true;
}

// Opens every file first, so the disc's directories are read together, then reads each up to
// the length it had when opened: a file that grows meanwhile is not read for ever.
void ReadInDiscOrder(std::string_view folder, std::string_view order, QtSource source,
                     std::string_view windowSystem) {
    int files[MaxFilesRead];
    off_t sizes[MaxFilesRead];
    int count = 0;
    std::string_view rest = order;
    while (!rest.empty() && count < MaxFilesRead) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        const Start::OrderLine line = Start::ParseOrderLine({rest.data(), end});
        rest = end < rest.size() ? std::string_view(rest.data() + end + 1, rest.size() - end - 1)
                                 : std::string_view();
        if (!Start::ReadBeforeStart(line, source, windowSystem)) continue;
        if (OpenOnDisc(folder, line.path, files[count], sizes[count])) ++count;
    }
    for (int i = 0; i < count; ++i) {
        posix_fadvise(files[i], 0, 0, POSIX_FADV_SEQUENTIAL);
        for (off_t left = sizes[i]; left > 0;) {
            const ssize_t got =
                read(files[i], readBuffer, static_cast<size_t>(std::min<off_t>(left, sizeof readBuffer)));
            if (got <= 0) break;
            left -= got;
        }
        close(files[i]);
    }
}

// Whether `name` is a film the window could list: a plain file of the folder by a film's name,
// not hidden.
bool IsFilmOfDisc(std::string_view folder, std::string_view name) {
    int file;
    off_t size;
    if (Start::FilmListOf(name) == 0 || name.starts_with('.') || !OpenOnDisc(folder, name, file, size))
        return false;
    close(file);
    return true;
}

// The film to hand to the player: the read order's, when it names a film of the disc, else the
// one the window would play (its first AVI file by name, else its first film); empty for none.
std::string_view FilmToPlay(const char* folder, std::string_view order) {
    const std::string_view named = Start::FilmOf(order);
    if (IsFilmOfDisc(folder, named)) return named;
    DIR* dir = opendir(folder);
    if (!dir) return {};
    int bestList = 0;
    size_t bestLength = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        const int list = Start::FilmListOf(name);
        if (list == 0 || (bestList != 0 && list > bestList)) continue;
        const std::string_view best(filmName, bestLength);
        if (list == bestList && !Start::ListedBefore(name, best)) continue;
        if (!IsFilmOfDisc(folder, name)) continue;
        bestList = list;
        bestLength = name.size();
        std::memcpy(filmName, name.data(), name.size());
    }
    closedir(dir);
    return {filmName, bestLength};
}

}  // namespace

}  // namespace discstart

using namespace discstart;

int main(int argc, char** argv) {
    (void)argc;
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fputs("discstart: cannot find where this program lies (/proc/self/exe)\n", stderr);
        return 127;
    }
    self[length] = '\0';
    const size_t folderLength = static_cast<size_t>(std::strrchr(self, '/') - self);
    char folder[PATH_MAX];
    std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(folderLength), self);

    Start::Session session{std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                           std::getenv("WAYLAND_DISPLAY")};
    const std::string_view order = ReadOrder(self);
    Start::Obstacle obstacle;
    if (Start::NoDisplay(session)) {
        obstacle.kind = Start::Obstacle::Kind::NoDisplay;
        Start::ReportAndHandOver(obstacle, folder, FilmToPlay(folder, order));
        return 1;
    }
    if (const char* platform = Start::PlatformToSet(session)) {
        setenv("QT_QPA_PLATFORM", platform, 1);
        session.platform = platform;
    }
    const std::string_view windowSystem = Start::FirstWindowSystem(session);

    // The machine's Qt where it serves, else the disc's; the first that the loader says runs.
    QtSource candidates[2] = {QtSource::Disc, QtSource::Disc};
    int count = 1;
    switch (Start::ParseQtWish(std::getenv("DISCSTART_QT"))) {
        case Start::QtWish::Host:
            candidates[0] = QtSource::Host;
            break;
        case Start::QtWish::Disc:
            break;
        case Start::QtWish::Either:
            if (HostQtServes(windowSystem)) candidates[0] = QtSource::Host, count = 2;
            break;
    }
    char program[PATH_MAX];
    for (int i = 0; i < count; ++i) {
        ReadInDiscOrder(folder, order, candidates[i], windowSystem);
        if (!Join(program, self, candidates[i] == QtSource::Host ? "-host" : "-disc")) return 127;
        if (Start::LauncherRuns(program, obstacle)) {
            execv(program, argv);
            obstacle.kind = Start::Obstacle::Kind::CannotRun;
            obstacle.error = errno;
            break;
        }
    }
    Start::ReportAndHandOver(obstacle, folder, FilmToPlay(folder, order));
    return 1;
}
