// discinfo in a shell: its command line, its exit statuses, and honest failures.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "discinfo_run.h"

namespace discstart {

namespace {

bool Copy(const QString& from, const QString& to) {
    return QFile::copy(from, to) &&
           QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
}

TEST(DiscinfoShell, CommandLineAndExitStatus) {
    QTemporaryDir dir;
    ASSERT_TRUE(Copy(TEST_DATA_DIR "/avi-tags.avi", dir.filePath("-film.avi")));
    const QString missing = dir.filePath("missing.avi");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.avi")).constData(), 0600), 0);
    const struct {
        const char* what;
        QStringList args;
        int status;
        const char* out;  // a part of stdout; "" for none at all
        const char* err;  // a part of stderr; "" for none at all
    } cases[] = {
        {"help", {"--help"}, 0, "usage: discinfo", ""},
        {"version", {"--version"}, 0, "discinfo " DISCSTART_VERSION "\n", ""},
        {"no path", {}, 2, "", "no path given\nTry 'discinfo --help'"},
        {"bad option named", {"--jsn", dir.path()}, 2, "", "unknown option '--jsn'"},
        {"check with json", {"--check", "--json", dir.path()}, 2, "", "cannot be combined"},
        {"-- ends the options", {"--", "-film.avi"}, 0, "Movie:        -film.avi (Avi)", ""},
        {"missing file", {missing}, 1, "", "missing.avi: No such file or directory\n"},
        {"fifo", {dir.filePath("fifo.avi")}, 1, "", "fifo.avi: not a regular file or folder\n"},
        {"one bad among good",
         {"--", "-film.avi", missing, "-film.avi"},
         1,
         "Movie:        -film.avi",
         "missing.avi"},
        {"check on a file", {"--check", "--", "-film.avi"}, 2, "error[not-a-folder]", ""},
    };
    for (const auto& c : cases) {
        RunSetup setup;
        setup.workingDirectory = dir.path();
        const Outcome run = Discinfo(c.args, setup);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_EQ(run.out.isEmpty(), *c.out == '\0') << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(c.out)) << run.out.toStdString();
        EXPECT_EQ(run.err.isEmpty(), *c.err == '\0') << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        EXPECT_LE(run.err.count('\n'), 2);
    }
}

TEST(DiscinfoShell, SeveralPathsInTheirOrder) {
    const QStringList paths{TEST_DATA_DIR "/ogm-xvid-vorbis.avi", EXAMPLE_DISC_DIR,
                            TEST_DATA_DIR "/avi-tags.avi"};
    const Outcome json = Discinfo(QStringList{"--json"} + paths);
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QList<QByteArray> lines = json.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), paths.size()) << json.out.toStdString();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(QJsonDocument::fromJson(lines[i]).object()["path"].toString(), paths[i]);
    }
    const Outcome text = Discinfo(paths);
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_EQ(text.out.count("\nMovie: ") + int(text.out.startsWith("Movie: ")), 3) << text.out.toStdString();
    EXPECT_EQ(text.out.count("\n\n\n"), 0);
    // The check names each folder, the first without a blank line before it.
    const Outcome check = Discinfo({"--check", EXAMPLE_DISC_DIR, EXAMPLE_DISC_DIR});
    EXPECT_TRUE(check.out.startsWith(EXAMPLE_DISC_DIR ":\n")) << check.out.toStdString();
    EXPECT_EQ(check.out.count("\n\n" EXAMPLE_DISC_DIR ":\n"), 1) << check.out.toStdString();
}

TEST(DiscinfoShell, ControlCharactersInNamesReachNoTerminal) {
    QTemporaryDir dir;
    ASSERT_TRUE(Copy(TEST_DATA_DIR "/avi-tags.avi", dir.filePath("a\x1B[2J\x07\rb.avi")));
    ASSERT_TRUE(Copy(TEST_DATA_DIR "/avi-tags.avi", dir.filePath("c\x9B"
                                                                 "1m.avi")));
    ASSERT_TRUE(Copy(TEST_DATA_DIR "/avi-tags.avi", dir.filePath("d\xE2\x80\xAE"
                                                                 "exe.avi")));
    for (const QStringList& args : {QStringList{dir.path()}, QStringList{"--check", dir.path()}}) {
        const Outcome run = Discinfo(args);
        SCOPED_TRACE(args.join(' ').toStdString());
        for (const char control : {'\x1B', '\x07', '\r'})
            EXPECT_FALSE(run.out.contains(control)) << int(control);
        EXPECT_FALSE(run.out.contains("\xC2\x9B"));
        EXPECT_TRUE(run.out.contains("a\\x1B[2J\\x07\\x0Db")) << run.out.toStdString();
        // Nor can a name be made to read backwards.
        EXPECT_FALSE(run.out.contains("\xE2\x80\xAE")) << run.out.toStdString();
    }
}

TEST(DiscinfoShell, OutputThatCannotBeWrittenFails) {
    const struct {
        QStringList args;
        const char* redirect;
        int status;
    } cases[] = {
        {{EXAMPLE_DISC_DIR}, ">/dev/full", 1},
        {{"--json", EXAMPLE_DISC_DIR}, ">&-", 1},
        {{"--version"}, ">/dev/full", 1},
        {{"--check", TEST_DATA_DIR}, ">/dev/full", 3},  // a folder with findings to write
        {{"--check", TEST_DATA_DIR}, ">&-", 3},
    };
    for (const auto& c : cases) {
        RunSetup setup;
        setup.stdoutRedirect = c.redirect;
        const Outcome run = Discinfo(c.args, setup);
        SCOPED_TRACE(c.args.join(' ').toStdString() + " " + c.redirect);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.startsWith("discinfo: cannot write the output: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

// A reader that stops reading ("discinfo ... | head -0") leaves output not written: status 1
// and one line, not death by SIGPIPE.
TEST(DiscinfoShell, AClosedPipeIsOutputNotWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "no SIGPIPE on Windows";
#endif
    QStringList paths;
    for (int i = 0; i < 200; ++i) paths << EXAMPLE_DISC_DIR;  // more than a pipe holds
    for (const QStringList& args : {QStringList{"--json"} + paths, paths}) {
        RunSetup setup;
        setup.closedOutput = true;
        const Outcome run = Discinfo(args, setup);
        SCOPED_TRACE(args.first().toStdString());
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.startsWith("discinfo: cannot write the output: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

// A medium that fails part way gives an error, never numbers read from what came before it.
TEST(DiscinfoShell, ReadErrorsAreReportedNotTurnedIntoNumbers) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("disc");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString name = QString("film.avi");
    const struct {
        const char* movie;
        const char* after;  // bytes read before the medium fails
        int status;
        int checkStatus;
    } cases[] = {
        {"avi-tags.avi", "100", 1, 2},
        {"avi-tags.avi", "1000", 1, 2},
        {"ogm-xvid-vorbis.avi", "60", 1, 2},
        {"avi-tags.avi", "100000000", 0, 1},  // the medium is fine: warnings only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.movie) + " failing after " + c.after);
        [&] {
            QFile::remove(folder + "/" + name);
            ASSERT_TRUE(Copy(QString(TEST_DATA_DIR "/") + c.movie, folder + "/" + name));
            RunSetup setup;
            // A sanitizer build wants its runtime first; the preloaded medium comes before it.
            setup.environment = {QString("LD_PRELOAD=") + FAILING_READS, "FAILING_READS_PATH=/disc/film.avi",
                                 QString("FAILING_READS_AFTER=") + c.after,
                                 "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"};
            // A folder still gets its line, which says why its numbers are missing; a film alone none.
            for (const bool isFolder : {true, false}) {
                const Outcome run = Discinfo({"--json", isFolder ? folder : folder + "/" + name}, setup);
                EXPECT_EQ(run.status, c.status) << run.err.toStdString();
                EXPECT_EQ(run.out.isEmpty(), c.status != 0 && !isFolder);
                EXPECT_EQ(run.out.contains("\"unreadable\":{\"path\":\"" + (folder + "/" + name).toUtf8() +
                                           "\",\"reason\":\"Input/output error (reading the movie)\"}"),
                          c.status != 0 && isFolder)
                    << run.out.toStdString();
                EXPECT_EQ(run.err.contains("Input/output error"), c.status != 0) << run.err.toStdString();
            }
            const Outcome check = Discinfo({"--check", folder}, setup);
            EXPECT_EQ(check.status, c.checkStatus) << check.out.toStdString();
            EXPECT_EQ(check.out.contains(
                          "error[movie-read-error]: film.avi: reading the movie failed (Input/output error)"),
                      c.status != 0)
                << check.out.toStdString();
            EXPECT_FALSE(check.out.contains("avi-"))
                << "layout findings blame the file: " << check.out.toStdString();
        }();
    }
}

// Run as an unprivileged user, for whom permissions count (root reads everything).
TEST(DiscinfoShell, PermissionErrorsAreNamed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run discinfo as another user";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    const QString locked = dir.filePath("locked");
    const QString closedMovie = dir.filePath("closed");
    for (const QString& folder : {locked, closedMovie}) ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(TEST_DATA_DIR "/avi-tags.avi", closedMovie + "/film.avi"));
    ASSERT_TRUE(QFile::setPermissions(closedMovie + "/film.avi", QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(QFile::setPermissions(
        closedMovie, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const struct {
        QStringList args;
        int status;
        QByteArray out;
        const char* err;
        int lines = 0;  // of output, where counted
    } cases[] = {
        {{"--check", locked}, 2, "error[folder-unreadable]", ""},
        {{"--check", closedMovie},
         2,
         "error[movie-unreadable]: film.avi: the movie cannot be opened (Permission denied)",
         ""},
        {{locked}, 1, "", "locked: Permission denied"},
        {{closedMovie}, 1, "", "film.avi: Permission denied"},
        // One JSON line for each folder given, whatever could not be read of it.
        {{"--json", locked, closedMovie},
         1,
         "\"unreadable\":{\"path\":\"" + locked.toUtf8() + "\",\"reason\":\"Permission denied\"}",
         "locked: Permission denied",
         2},
        {{"--json", closedMovie, locked}, 1, "\"playEnabled\":true", "film.avi: Permission denied", 2},
        {{"--json", closedMovie},
         1,
         "\"unreadable\":{\"path\":\"" + closedMovie.toUtf8() +
             "/film.avi\",\"reason\":\"Permission denied\"}",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        RunSetup setup;
        setup.unprivileged = true;
        const Outcome run = Discinfo(c.args, setup);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.out)) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        if (c.lines != 0) {
            EXPECT_EQ(run.out.count('\n'), c.lines) << run.out.toStdString();
        }
    }
}

}  // namespace

}  // namespace discstart
