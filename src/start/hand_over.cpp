#include "start/hand_over.h"

#include <fcntl.h>
#include <gnu/libc-version.h>
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace discstart {

namespace Start {

namespace {

char loaderText[16 * 1024];
FixedText<2048> message, notified, written;
FixedText<4096> quotedSummary, quotedMessage;
char openPath[PATH_MAX];

// The file NAME would run as from PATH, into `out`; false when there is none.
bool FindOnPath(const char* name, char (&out)[PATH_MAX]) {
    const char* path = std::getenv("PATH");
    if (!path || !*path) path = "/usr/local/bin:/usr/bin:/bin";
    for (std::string_view rest = path; !rest.empty();) {
        const size_t colon = rest.find(':');
        const std::string_view folder = Head(rest, colon);
        rest = colon == std::string_view::npos ? std::string_view() : Tail(rest, colon + 1);
        if (folder.empty() || folder.size() + std::strlen(name) + 2 > sizeof out) continue;
        std::snprintf(out, sizeof out, "%.*s/%s", static_cast<int>(folder.size()), folder.data(), name);
        if (access(out, X_OK) == 0) return true;
    }
    return false;
}

// Runs argv[0] (a full path) and waits for it: its exit status, or -1.
int RunAndWait(const char* const argv[]) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        // What they say when there is no notification service is not the viewer's business.
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) dup2(null, STDOUT_FILENO), dup2(null, STDERR_FILENO);
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Notify(const char* body) {
    char program[PATH_MAX];
    if (FindOnPath("notify-send", program)) {
        const char* argv[] = {
            program, "--app-name=discstart", "--icon=dialog-warning", CannotStartSummary.data(), body,
            nullptr};
        if (RunAndWait(argv) == 0) return true;
    }
    if (FindOnPath("gdbus", program)) {
        GVariantString(CannotStartSummary, quotedSummary);
        GVariantString(body, quotedMessage);
        const char* argv[] = {program,
                              "call",
                              "--session",
                              "--dest",
                              "org.freedesktop.Notifications",
                              "--object-path",
                              "/org/freedesktop/Notifications",
                              "--method",
                              "org.freedesktop.Notifications.Notify",
                              "--",
                              "discstart",
                              "0",
                              "dialog-warning",
                              quotedSummary.c_str(),
                              quotedMessage.c_str(),
                              "[]",
                              "{}",
                              "-1",
                              nullptr};
        if (RunAndWait(argv) == 0) return true;
    }
    return false;
}

void Open(const char* opener, const char* path) {
    const pid_t child = fork();
    if (child != 0) return;
    setsid();
    if (chdir("/") != 0) _exit(127);
    const char* argv[] = {"xdg-open", path, nullptr};
    execv(opener, const_cast<char* const*>(argv));
    _exit(127);
}

}  // namespace

bool LauncherRuns(const char* program, Obstacle& obstacle) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return true;  // no way to ask: let the loader speak for itself
    const pid_t child = fork();
    if (child < 0) return true;
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        setenv("LD_TRACE_LOADED_OBJECTS", "1", 1);
        setenv("LD_WARN", "yes", 1);
        const char* argv[] = {program, nullptr};
        execv(program, const_cast<char* const*>(argv));
        // The exec's own failure, where the loader never got to say anything.
        std::fprintf(stderr, "#exec-failed %d\n", errno);
        _exit(127);
    }
    close(pipeEnds[1]);
    size_t length = 0;
    for (ssize_t got = 1; got > 0 && length < sizeof loaderText;) {
        got = read(pipeEnds[0], loaderText + length, sizeof loaderText - length);
        if (got > 0) length += static_cast<size_t>(got);
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string_view text(loaderText, length);
    int error = 0;
    if (std::sscanf(loaderText, "#exec-failed %d", &error) == 1 && text.find('\n') + 1 == text.size()) {
        obstacle.kind = Obstacle::Kind::CannotRun;
        obstacle.error = error;
        return false;
    }
    obstacle.kind = Obstacle::Kind::Loader;
    obstacle.loader = ParseLoaderReport(text);
    obstacle.machineCLibrary = gnu_get_libc_version();
    return obstacle.loader.runs();
}

void ReportAndHandOver(const Obstacle& obstacle, const char* folder, std::string_view film) {
    char opener[PATH_MAX];
    const bool canOpen = FindOnPath("xdg-open", opener);
    const int length = film.empty() ? std::snprintf(openPath, sizeof openPath, "%s", folder)
                                    : std::snprintf(openPath, sizeof openPath, "%s/%.*s", folder,
                                                    static_cast<int>(film.size()), film.data());
    const bool fits = length > 0 && length < static_cast<int>(sizeof openPath);
    Explain(obstacle, openPath, !film.empty(), canOpen && fits, message);
    TerminalText(message.view(), written);
    std::fprintf(stderr, "discstart: %s. %s\n", CannotStartSummary.data(), written.c_str());
    NotificationText(message.view(), notified);
    Notify(notified.c_str());
    if (canOpen && fits) Open(opener, openPath);
}

}  // namespace Start

}  // namespace discstart
