#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "disc_files.h"

// Handed in by the build: the paths MAKE_DISC, LAUNCHER, DISCINFO, WITHOUT_QT, DEMO_DISC, and
// WEBENGINE, whether the launcher carries Qt WebEngine.

namespace {

struct Outcome {
    int status = -1;
    QString output;  // stdout and stderr together
};

// A program run with nothing of this environment but PATH (the disc must not depend on it).
Outcome Execute(const QString& program, const QStringList& args, const QStringList& env = {}) {
    QProcess process;
    QProcessEnvironment clean;
    clean.insert("PATH", qEnvironmentVariable("PATH"));
    for (const auto& pair : env) clean.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(clean);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(120000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

// Starts a program and tells whether it is still running after a while: the launcher never
// ends by itself, so an early end is a failed start. The output seen so far comes back.
bool KeepsRunning(const QString& program, const QStringList& args, QString& output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory("/");
    // Chromium refuses to run as root inside its sandbox; the light build ignores the flag.
    process.start("env", QStringList{"-i", "QT_QPA_PLATFORM=offscreen", "QT_DEBUG_PLUGINS=1",
                                     "QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox", program} +
                             args);
    bool running = process.waitForStarted() && !process.waitForFinished(3000);
    if (running) {
        process.kill();
        process.waitForFinished();
    }
    output = QString::fromLocal8Bit(process.readAll());
    return running;
}

class MakeDisc : public testing::Test {
  protected:
    // One disc for all tests: making it copies some 65 MB (275 MB with Qt WebEngine).
    static void SetUpTestSuite() {
        work = new QTemporaryDir;
        content = work->filePath("content");
        out = work->filePath("disc");
        iso = work->filePath("disc.iso");
        // The demo disc's content, the movie under a name with a space.
        QDir().mkpath(content);
        for (const char* name : {"cover.jpg", "intro.htm", "still.jpg"})
            ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/" + name, content + "/" + name)) << name;
        ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/film.avi", content + "/Deep Field.avi"));
        made = new Outcome(MakeInto(out, {"--iso", iso}));
    }
    static void TearDownTestSuite() {
        delete made;
        delete work;
    }

    static Outcome MakeInto(const QString& target, const QStringList& extra,
                            const QString& movie = content + "/Deep Field.avi") {
        QStringList args{movie, "--cover", content + "/cover.jpg", "--page", content + "/intro.htm"};
        return Execute(MAKE_DISC, args + extra + QStringList{target},
                       {QString("DISCSTART_LAUNCHER=") + LAUNCHER, QString("DISCINFO=") + DISCINFO});
    }

    void SetUp() override { ASSERT_EQ(made->status, 0) << made->output.toStdString(); }

    static QStringList ElfFiles() {
        QStringList files{out + "/discstart"};
        QDirIterator it(out + "/linux", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly) && file.read(4) == "\177ELF") files << file.fileName();
        }
        return files;
    }

    static bool WithoutQtWorks() { return Execute(WITHOUT_QT, {"true"}).status == 0; }

    static inline QTemporaryDir* work = nullptr;
    static inline Outcome* made = nullptr;
    static inline QString content, out, iso;
};

TEST_F(MakeDisc, LaysOutTheDiscBesideTheMovie) {
    struct Entry {
        const char* path;
        bool present;
        bool executable;
    } entries[] = {
        {"Deep Field.avi", true, false},
        {"cover.jpg", true, false},
        {"intro.htm", true, false},
        {"still.jpg", true, false},
        {"discstart.ico", true, false},
        {"discstart", true, true},
        {"autorun.sh", true, true},
        {"autorun.inf", true, false},
        {"qt.conf", true, false},
        {"linux/lib/libQt6Core.so.6", true, false},
        {"linux/lib/libQt6Gui.so.6", true, false},
        {"linux/lib/libQt6Widgets.so.6", true, false},
        {"linux/lib/libQt6XcbQpa.so.6", true, false},
        {"linux/plugins/platforms/libqxcb.so", true, false},
        {"linux/plugins/platforms/libqoffscreen.so", true, false},
        {"linux/plugins/imageformats/libqjpeg.so", true, false},
        {"linux/plugins/imageformats/libqgif.so", true, false},
        {"linux/lib/libc.so.6", false, false},
        {"linux/lib/libm.so.6", false, false},
        {"linux/lib/libstdc++.so.6", false, false},
        {"linux/lib/libGL.so.1", false, false},
        {"linux/lib/libEGL.so.1", false, false},
        {"linux/lib/libX11.so.6", false, false},
        {"libdiscstart_webengine.so", WEBENGINE, WEBENGINE},
        {"linux/libexec/QtWebEngineProcess", WEBENGINE, WEBENGINE},
        {"linux/libexec/qt.conf", WEBENGINE, false},
        {"linux/resources/qtwebengine_resources.pak", WEBENGINE, false},
        {"linux/translations/qtwebengine_locales/en-US.pak", WEBENGINE, false},
        {"linux/lib/libnss3.so", false, false},
    };
    for (const auto& e : entries) {
        QFileInfo info(out + "/" + e.path);
        EXPECT_EQ(info.isFile(), e.present) << e.path;
        if (e.present) {
            EXPECT_EQ(info.isExecutable(), e.executable) << e.path;
        }
    }
    EXPECT_NE(made->output.indexOf("the launcher adds"), -1) << made->output.toStdString();
}

TEST_F(MakeDisc, WritesTheAutorunFilesAndQtConf) {
    struct Text {
        const char* path;
        const char* expected;
    } texts[] = {
        {"autorun.inf", "[autorun]\r\nopen=discstart.exe\r\nicon=discstart.ico\r\nlabel=Deep Field\r\n"},
        {"qt.conf",
         "[Paths]\nPrefix = linux\nPlugins = plugins\nLibraryExecutables = libexec\nData = .\nTranslations = "
         "translations\n"},
    };
    for (const auto& t : texts) {
        QFile file(out + "/" + t.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << t.path;
        EXPECT_EQ(file.readAll().toStdString(), t.expected) << t.path;
    }
}

TEST_F(MakeDisc, EveryQtLibraryResolvesInsideTheDisc) {
    for (const auto& elf : ElfFiles()) {
        Outcome ldd = Execute("ldd", {elf}, {"LD_LIBRARY_PATH="});
        ASSERT_EQ(ldd.status, 0) << elf.toStdString() << ldd.output.toStdString();
        EXPECT_EQ(ldd.output.indexOf("not found"), -1) << elf.toStdString() << ldd.output.toStdString();
        for (const auto& line : ldd.output.split('\n')) {
            if (!line.contains("libQt6")) continue;
            QString path = QFileInfo(line.section("=> ", 1).section(" (", 0, 0)).canonicalFilePath();
            EXPECT_TRUE(path.startsWith(QFileInfo(out).canonicalFilePath() + "/")) << line.toStdString();
        }
    }
}

TEST_F(MakeDisc, LauncherStartsFromItsFolderWithoutQt) {
    bool hidden = WithoutQtWorks();
    struct Start {
        const char* name;
        QString program;
        QStringList args;
    } starts[] = {
        {"the launcher itself", out + "/discstart", {}},
        {"autorun.sh through /bin/sh", "/bin/sh", {out + "/autorun.sh"}},
    };
    for (const auto& s : starts) {
        SCOPED_TRACE(s.name);
        QString output;
        ASSERT_TRUE(KeepsRunning(s.program, s.args, output)) << output.toStdString();
        EXPECT_NE(output.indexOf(out + "/linux/plugins/platforms/libqoffscreen.so\" loaded library"), -1)
            << output.toStdString();
        if (!hidden) continue;
        ASSERT_TRUE(KeepsRunning(WITHOUT_QT, QStringList{s.program} + s.args, output))
            << output.toStdString();
        EXPECT_NE(output.indexOf(out + "/linux/plugins/platforms/libqoffscreen.so\" loaded library"), -1)
            << output.toStdString();
    }
    // The machine's own Qt really is gone in there: a program linked to it cannot start.
    if (hidden) {
        EXPECT_NE(Execute(WITHOUT_QT, {LAUNCHER}).status, 0);
    } else {
        GTEST_SKIP() << "cannot hide this machine's Qt here (needs root and mount namespaces)";
    }
}

// The panel's reading of the disc, done by discinfo running on the disc's own libraries.
TEST_F(MakeDisc, PanelFillsFromTheDiscsOwnLibraries) {
    QTemporaryDir copy;
    ASSERT_EQ(Execute("cp", {"-a", out + "/.", copy.path()}).status, 0);
    ASSERT_TRUE(QFile::copy(DISCINFO, copy.filePath("discinfo")));
    ASSERT_EQ(Execute("patchelf", {"--set-rpath", "$ORIGIN/linux/lib", copy.filePath("discinfo")}).status, 0);
    QStringList command{"env", "-i", copy.filePath("discinfo"), copy.path()};
    Outcome run = WithoutQtWorks() ? Execute(WITHOUT_QT, command) : Execute(command[0], command.mid(1));
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    for (const char* text : {"320 x 240", "25.00"})
        EXPECT_NE(run.output.indexOf(text), -1) << text << "\n" << run.output.toStdString();
}

TEST_F(MakeDisc, IsoHoldsTheDiscWithJolietAndRockRidge) {
    Outcome rockRidge = Execute("xorriso", {"-indev", iso, "-find", "/", "-type", "f"});
    ASSERT_EQ(rockRidge.status, 0) << rockRidge.output.toStdString();
    for (const char* path : {"'/Deep Field.avi'", "'/cover.jpg'", "'/intro.htm'", "'/still.jpg'",
                             "'/discstart'", "'/autorun.sh'", "'/autorun.inf'", "'/qt.conf'",
                             "'/linux/lib/libQt6Core.so.6'", "'/linux/plugins/platforms/libqxcb.so'"})
        EXPECT_NE(rockRidge.output.indexOf(path), -1) << path;
    Outcome modes = Execute("xorriso", {"-indev", iso, "-lsl", "/discstart"});
    EXPECT_NE(modes.output.indexOf("-r-xr-xr-x"), -1) << modes.output.toStdString();
    Outcome joliet =
        Execute("xorriso", {"-read_fs", "norock", "-indev", iso, "-find", "/", "-name", "*.avi"});
    EXPECT_NE(joliet.output.indexOf("'/Deep Field.avi'"), -1) << joliet.output.toStdString();
}

TEST_F(MakeDisc, RefusesWhatWouldMakeABadDiscAndTakesTheRest) {
    QString mpeg = content + "/mpeg.avi";
    ASSERT_TRUE(WriteFile(mpeg, QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14)));
    QString png = content + "/cover.png";
    ASSERT_TRUE(WriteFile(png, "png"));
    QString plain = content + "/plain.htm";
    ASSERT_TRUE(WriteFile(plain, "<html><body>No links at all.</body></html>"));
    QString late = content + "/zz-cover.jpg";
    ASSERT_TRUE(QFile::copy(content + "/cover.jpg", late));
    QString full = work->filePath("full");
    QDir().mkpath(full);
    ASSERT_TRUE(WriteFile(full + "/keep.txt", "mine"));
    struct Case {
        const char* name;
        QStringList args;  // before OUT
        int status;
        const char* says;
        bool launcherCopied;
    } cases[] = {
        {"movie the check rejects", {mpeg}, 2, "error[movie-not-avi]", false},
        {"the same with --force", {mpeg, "--force"}, 0, "error[movie-not-avi]", true},
        {"page without links", {content + "/Deep Field.avi", "--page", plain}, 0, "the launcher adds", true},
        {"missing movie", {content + "/none.avi"}, 2, "no movie file", false},
        {"the page's picture would win over the cover",
         {content + "/Deep Field.avi", "--cover", late, "--page", content + "/intro.htm"},
         2,
         "still.jpg sorts before zz-cover.jpg",
         false},
        {"picture the launcher cannot list",
         {content + "/Deep Field.avi", "--cover", png},
         2,
         ".jpg, .bmp and .gif",
         false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString target = work->filePath("bad" + QString::number(n++));
        Outcome run = Execute(MAKE_DISC, c.args + QStringList{target},
                              {QString("DISCSTART_LAUNCHER=") + LAUNCHER, QString("DISCINFO=") + DISCINFO});
        EXPECT_EQ(run.status, c.status) << run.output.toStdString();
        EXPECT_NE(run.output.indexOf(c.says), -1) << run.output.toStdString();
        EXPECT_EQ(QFileInfo::exists(target + "/discstart"), c.launcherCopied);
    }
    Outcome into = MakeInto(full, {});
    EXPECT_EQ(into.status, 2);
    EXPECT_EQ(QDir(full).entryList(QDir::Files), QStringList{"keep.txt"});
}

}  // namespace
