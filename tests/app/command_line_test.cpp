// The program's command line and its start without a display.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "app/command_line.h"

namespace discstart {

namespace {

using Action = StartRequest::Action;

TEST(CommandLine, FolderHelpAndWhatTheInstalledProgramIsFor) {
    QTemporaryDir work;
    for (const char* folder : {"bin", "bin2", "disc"}) ASSERT_TRUE(QDir(work.path()).mkdir(folder));
    const QString bin = work.filePath("bin"), bin2 = work.filePath("bin2"), disc = work.filePath("disc");
    const auto nothing = [](const QString&) { return false; };
    const auto film = [](const QString&) { return true; };
    const struct {
        const char* name;
        QStringList args;
        QString programFolder;
        std::function<bool(const QString&)> holds;
        Action action;
        QString folder;
        int status;
        const char* says;
    } cases[] = {
        {"on a disc, as ever", {}, disc, nothing, Action::Window, "", 0, ""},
        {"Qt's own options pass", {"-platform", "offscreen"}, disc, nothing, Action::Window, "", 0, ""},
        {"a disc folder", {disc}, bin, nothing, Action::Window, disc, 0, ""},
        {"installed, nothing beside it", {}, bin, nothing, Action::Refuse, "", 1, "(discstart /media/cdrom)"},
        {"installed, a film beside it", {}, bin, film, Action::Window, "", 0, ""},
        {"beside the installed folder", {}, bin2, nothing, Action::Window, "", 0, ""},
        {"help", {disc, "--help"}, disc, nothing, Action::Help, "", 0, "usage: discstart [FOLDER]"},
        {"two folders", {disc, bin}, disc, nothing, Action::Refuse, "", 2, "one disc folder, not"},
        {"no such folder",
         {work.filePath("none")},
         disc,
         nothing,
         Action::Refuse,
         "",
         1,
         "none is not a folder"},
        {"a file, not a folder", {"/etc/hostname"}, disc, nothing, Action::Refuse, "", 1, "is not a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const StartRequest r = ReadCommandLine(c.args, c.programFolder, bin, c.holds);
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.folder, c.folder);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.message.contains(c.says)) << r.message.toStdString();
    }
    EXPECT_EQ(ReadCommandLine({}, bin, "", nothing).action, Action::Window) << "nothing installed";
}

TEST(CommandLine, MissingDisplay) {
#ifdef _WIN32
    constexpr bool windows = true;  // which draws without a display server
#else
    constexpr bool windows = false;
#endif
    const struct {
        const char* platform;
        const char* display;
        const char* wayland;
        bool missing;
    } cases[] = {
        {"", "", "", true},
        {"xcb", "", "", true},
        {"", ":0", "", false},
        {"", "", "wayland-0", false},
        {"offscreen", "", "", false},
        {"wayland", "", "", false},
        {"xcb;wayland", "", "", true},
        {"xcb:foo", ":1", "", false},
    };
    for (const auto& c : cases) {
        const auto variable = [&c](const char* name) {
            const std::string_view n(name);
            return QString::fromLatin1(n == "QT_QPA_PLATFORM" ? c.platform
                                       : n == "DISPLAY"       ? c.display
                                                              : c.wayland);
        };
        EXPECT_EQ(MissingDisplay(variable).isEmpty(), windows || !c.missing)
            << c.platform << "|" << c.display << "|" << c.wayland;
    }
}

// Without a display the program says so in one line, where Qt would abort (status 134).
TEST(CommandLine, ProgramWithoutDisplayEndsWithOneLine) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows draws without a display server";
#endif
    const QStringList displays[] = {{}, {"DISPLAY=:97"}};
    for (const QStringList& display : displays) {
        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start("env", QStringList{"-i", "XDG_RUNTIME_DIR=/tmp"} + display +
                                 QStringList{DISCSTART_PATH, DISCSTART_SOURCE_DIR "/examples/disc"});
        ASSERT_TRUE(program.waitForFinished(30000));
        const QString said = QString::fromLocal8Bit(program.readAll());
        EXPECT_EQ(program.exitCode(), 1) << said.toStdString();
        EXPECT_TRUE(said.startsWith("discstart: no display (")) << said.toStdString();
        EXPECT_EQ(said.count('\n'), 1) << said.toStdString();
    }
}

}  // namespace

}  // namespace discstart
