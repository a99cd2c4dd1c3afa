// The disc's Linux start program run as a viewer's desktop runs it, against a hostile disc: what
// it reads before the launcher starts, the film it hands to the player and the notification.
// The launcher is missing, so every run ends in the hand-over; xdg-open and notify-send are
// stand-ins that write down what they were given.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace discstart {

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class HostileDisc : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/disc-start-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        root_ = name;
        fs::create_directories(root_ / "bin");
        // Each stand-in writes its arguments, one a line.
        for (const char* tool : {"xdg-open", "notify-send"}) {
            const fs::path script = root_ / "bin" / tool;
            Write(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (root_ / tool).string() + "\"\n");
            fs::permissions(script, fs::perms::owner_all);
        }
    }
    // The player's stand-in runs on its own and may still be writing.
    void TearDown() override {
        std::error_code error;
        for (int i = 0; i < 50 && fs::remove_all(root_, error) == static_cast<std::uintmax_t>(-1); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    // The disc: its start program carrying `order`, in a folder of the given name.
    fs::path MakeDisc(const std::string& folderName, const std::string& order) {
        const fs::path disc = root_ / folderName;
        fs::create_directories(disc);
        char length[16];
        std::snprintf(length, sizeof length, "%010zu", order.size());
        Write(disc / "discstart", ReadAll(DISC_START) + order + "\n#read-order " + length + "\n");
        fs::permissions(disc / "discstart", fs::perms::owner_all);
        return disc;
    }

    // Runs it with a display named, so that it reads the disc's order before it finds the
    // launcher missing; false when it had not ended after `seconds`.
    bool Run(const fs::path& disc, int seconds = 20) {
        fs::remove(root_ / "xdg-open");
        fs::remove(root_ / "notify-send");
        const pid_t child = fork();
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            const std::string path = "PATH=" + (root_ / "bin").string() + ":/usr/bin:/bin";
            const char* env[] = {path.c_str(), "DISPLAY=:97", "DISCSTART_QT=disc", nullptr};
            const std::string program = (disc / "discstart").string();
            const char* argv[] = {program.c_str(), nullptr};
            execve(program.c_str(), const_cast<char* const*>(argv), const_cast<char* const*>(env));
            _exit(127);
        }
        int status = 0;
        for (int i = 0; i < seconds * 20; ++i) {
            if (waitpid(child, &status, WNOHANG) == child) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return false;
    }

    // The stand-in's arguments, once it has written them (it runs on its own).
    std::string Given(const char* tool) {
        for (int i = 0; i < 100 && !fs::exists(root_ / tool); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return ReadAll(root_ / tool);
    }

    fs::path root_;
};

// Before, `..` and links out were read, /dev/zero without end, and a FIFO blocked for ever.
TEST_F(HostileDisc, ReadsOnlyPlainFilesOfItsFolderUpToTheirLength) {
    Write(root_ / "outside.bin", "secret");
    ASSERT_EQ(::mkfifo((root_ / "outside.fifo").c_str(), 0600), 0);
    const fs::path disc = MakeDisc("disc",
                                   "disc ../outside.bin\n"
                                   "disc ../outside.fifo\n"
                                   "disc /dev/zero\n"
                                   "disc zero\n"
                                   "disc fifo\n"
                                   "disc out\n"
                                   "disc status\n"
                                   "disc qt/lib.so\n"
                                   "disc " +
                                       (root_ / "outside.bin").string() + "\n");
    fs::create_directories(disc / "qt");
    Write(disc / "qt" / "lib.so", "library");
    fs::create_symlink("/dev/zero", disc / "zero");
    ASSERT_EQ(::mkfifo((disc / "fifo").c_str(), 0600), 0);
    fs::create_symlink("../outside.bin", disc / "out");
    fs::create_symlink("/proc/self/status", disc / "status");

    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    const int outside = inotify_add_watch(watch, root_.c_str(), IN_ACCESS | IN_OPEN);
    const int inside = inotify_add_watch(watch, (disc / "qt").c_str(), IN_ACCESS);
    ASSERT_TRUE(Run(disc)) << "the start program hung";
    bool readInside = false;
    std::string readOutside;
    alignas(inotify_event) char events[64 * 1024];
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->wd == inside && event->len > 0 && std::string(event->name) == "lib.so")
                readInside = true;
            if (event->wd == outside && event->len > 0 && std::string(event->name).starts_with("outside") &&
                (event->mask & IN_ACCESS || std::string(event->name) == "outside.fifo"))
                readOutside += std::string(event->name) + " ";
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_TRUE(readInside) << "the disc's own file was not read";
    EXPECT_EQ(readOutside, "");
}

// Before, the `movie` line was handed to xdg-open whatever it named.
TEST_F(HostileDisc, HandsOverOnlyAFilmOfTheDisc) {
    const struct {
        const char* movieLine;
        const char* handed;  // in the disc's folder
    } cases[] = {
        {"movie film.mkv\n", "film.mkv"},
        {"movie ../evil.mkv\n", "a.avi"},
        {"movie /bin/sh\n", "a.avi"},
        {"movie notes.txt\n", "a.avi"},
        {"movie link.mkv\n", "a.avi"},
        {"movie 0.avi\n", "a.avi"},
        {"", "a.avi"},
    };
    Write(root_ / "evil.mkv", "x");
    for (const auto& c : cases) {
        const fs::path disc = MakeDisc("disc", c.movieLine);
        // The first by name is made neither first nor last, so the folder's own order cannot pass for it.
        for (const char* film : {"film.mkv", "b.AVI", "a.avi", ".a.avi", "c.avi", "notes.txt"})
            Write(disc / film, "film");
        if (!fs::is_fifo(disc / "0.avi")) {
            ASSERT_EQ(::mkfifo((disc / "0.avi").c_str(), 0600), 0);
            fs::create_symlink("/proc/self/status", disc / "00.avi");
            fs::create_symlink("../evil.mkv", disc / "link.mkv");
        }
        ASSERT_TRUE(Run(disc)) << c.movieLine;
        EXPECT_EQ(Given("xdg-open"), (disc / c.handed).string() + "\n") << c.movieLine;
    }
    // Without an AVI file, the window's first film.
    const fs::path films = MakeDisc("films", "movie ../evil.mkv\n");
    for (const char* film : {"c.mp4", "b.webm", "C.mkv"}) Write(films / film, "film");
    ASSERT_TRUE(Run(films));
    EXPECT_EQ(Given("xdg-open"), (films / "b.webm").string() + "\n");
}

// Notification servers read the body as markup: the folder's name shows as it is.
TEST_F(HostileDisc, TheNotificationShowsTheFolderAsItIs) {
    const fs::path disc = MakeDisc("Tom &amp; <b>Jerry</b> \xE2\x80\xAEvkm.exe", "movie film.mkv\n");
    Write(disc / "film.mkv", "film");
    ASSERT_TRUE(Run(disc));
    const std::string given = Given("notify-send");
    EXPECT_NE(given.find("Tom &amp;amp; &lt;b&gt;Jerry&lt;/b&gt; \\u202Evkm.exe/film.mkv"), std::string::npos)
        << given;
    EXPECT_EQ(given.find('<'), std::string::npos) << given;
}

}  // namespace

}  // namespace discstart
