#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "disc_files.h"
#include "make_disc_run.h"

// Handed in by the build: the paths MAKE_DISC, LAUNCHER, DISCINFO, WITHOUT_QT, DEMO_DISC, and
// WEBENGINE, whether the launcher's build has Qt WebEngine.

namespace {

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
    // One disc for all tests: making it copies some 65 MB. The demo disc's movie under another
    // name, named on the disc after a label; a page that refers to its files every way HTML can.
    static void SetUpTestSuite() {
        work = new QTemporaryDir;
        content = work->filePath("content");
        out = work->filePath("disc");
        iso = work->filePath("disc.iso");
        for (const char* folder : {"/img", "/css"}) QDir().mkpath(content + folder);
        for (const char* name : {"cover.jpg", "still.jpg"})
            ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/" + name, content + "/" + name)) << name;
        ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/film.avi", content + "/Deep Field.avi"));
        const std::pair<const char*, QByteArray> files[] = {
            {"intro.htm",
             "<link rel=stylesheet href='css/site.css'><IMG SRC = \"img/a b.png\"><img src=still.jpg>"
             "<div style=\"background: url(img/c.png)\">x</div><img src=gone.png>"},
            {"css/site.css", "body { background: URL(\"../img/bg.gif\") }"},
            {"img/a b.png", PictureBytes("PNG")},
            {"img/c.png", PictureBytes("PNG")},
            {"img/bg.gif", PictureBytes("GIF")},
            {"img/unused.png", PictureBytes("PNG")},
        };
        for (const auto& [name, bytes] : files) ASSERT_TRUE(WriteFile(content + "/" + name, bytes)) << name;
        made = new Outcome(RunMakeDisc({content + "/Deep Field.avi", "--cover", content + "/cover.jpg", "--page",
                                     content + "/intro.htm", "--label", Label, "--iso", iso, "--force", out}));
    }
    static void TearDownTestSuite() {
        delete made;
        delete work;
    }

    static inline const QString Label = QString::fromUtf8("K\xC3\xB6ln Night Train");

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
        {"K\xC3\xB6ln Night Train.avi", true, false},
        {"Deep Field.avi", false, false},
        {"cover.jpg", true, false},
        {"intro.htm", true, false},
        {"still.jpg", true, false},
        {"img/a b.png", true, false},
        {"img/c.png", true, false},
        {"css/site.css", true, false},
        {"img/bg.gif", true, false},
        {"img/unused.png", false, false},
        {"gone.png", false, false},
        {"SOURCES.txt", true, false},
        {"licenses/discstart/LICENSE", true, false},
        {"licenses/discstart/LiberationSans-LICENSE", true, false},
        {"licenses/libqt6core6/copyright", true, false},
        {"licenses/common/LGPL-3", true, false},
        {"licenses/common/GPL-3", true, false},
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
        // The light page view, whatever the build has.
        {"libdiscstart_webengine.so", false, false},
        {"linux/libexec/QtWebEngineProcess", false, false},
        {"linux/lib/libQt6WebEngineCore.so.6", false, false},
        {"linux/lib/libnss3.so", false, false},
    };
    for (const auto& e : entries) {
        QFileInfo info(out + "/" + QString::fromUtf8(e.path));
        EXPECT_EQ(info.isFile(), e.present) << e.path;
        if (e.present) {
            EXPECT_EQ(info.isExecutable(), e.executable) << e.path;
        }
    }
    for (const char* says : {"the launcher adds", "for a CD (700 MB)", "the page refers to gone.png"})
        EXPECT_NE(made->output.indexOf(says), -1) << says << "\n" << made->output.toStdString();
}

TEST_F(MakeDisc, WritesTheAutorunFilesAndQtConf) {
    // Windows reads autorun.inf in UTF-16 with a byte-order mark as it is, label and all.
    const QString autorun = "[autorun]\r\nopen=discstart.exe\r\nicon=discstart.ico\r\nlabel=" + Label +
                            "\r\naction=Start " + Label + "\r\n";
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : autorun) utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    EXPECT_EQ(FileBytes(out + "/autorun.inf"), utf16);
    EXPECT_EQ(FileBytes(out + "/qt.conf").toStdString(),
              "[Paths]\nPrefix = linux\nPlugins = plugins\nLibraryExecutables = libexec\nData = .\nTranslations = "
              "translations\n");
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
    for (const QString& text : {QString("320 x 240"), QString("25.00"), " " + Label + " "})
        EXPECT_NE(run.output.indexOf(text), -1) << text.toStdString() << "\n" << run.output.toStdString();
}

TEST_F(MakeDisc, IsoHoldsTheDiscWithJolietAndRockRidge) {
    Outcome rockRidge = Execute("xorriso", {"-indev", iso, "-find", "/", "-type", "f"});
    ASSERT_EQ(rockRidge.status, 0) << rockRidge.output.toStdString();
    for (const QString& path : {"'/" + Label + ".avi'", QString("'/cover.jpg'"), QString("'/img/a b.png'"),
                               QString("'/discstart'"), QString("'/autorun.inf'"), QString("'/SOURCES.txt'"),
                               QString("'/linux/lib/libQt6Core.so.6'"), QString("'/linux/plugins/platforms/libqxcb.so'")})
        EXPECT_NE(rockRidge.output.indexOf(path), -1) << path.toStdString();
    Outcome modes = Execute("xorriso", {"-indev", iso, "-lsl", "/discstart"});
    EXPECT_NE(modes.output.indexOf("-r-xr-xr-x"), -1) << modes.output.toStdString();
    Outcome joliet =
        Execute("xorriso", {"-read_fs", "norock", "-indev", iso, "-find", "/", "-name", "*.avi"}, {"LANG=C.UTF-8"});
    EXPECT_NE(joliet.output.indexOf("'/" + Label + ".avi'"), -1) << joliet.output.toStdString();
    // The volume names: ISO 9660's plain one, Joliet's as the label reads (UCS-2, big-endian).
    const QByteArray image = FileBytes(iso).left(18 * 2048);
    ASSERT_EQ(image.size(), 18 * 2048);
    EXPECT_EQ(image.mid(16 * 2048 + 40, 32), QByteArray("KOLN_NIGHT_TRAIN").leftJustified(32, ' '));
    QByteArray jolietName;
    for (const QChar c : Label) jolietName.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    EXPECT_EQ(image.mid(17 * 2048, 6), QByteArray("\x02" "CD001"));
    EXPECT_EQ(image.mid(17 * 2048 + 40, jolietName.size()), jolietName);
}

// Every file bundled from a Debian package carries that package's own copyright file, as it is,
// and SOURCES.txt names the package, its version and the file.
TEST_F(MakeDisc, EveryBundledFileIsCoveredByACopyrightFile) {
    const QString sources = QString::fromUtf8(FileBytes(out + "/SOURCES.txt"));
    QDirIterator it(out + "/linux", QDir::Files, QDirIterator::Subdirectories);
    int covered = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(out).relativeFilePath(path);
        if (name.endsWith("qt.conf")) continue;
        SCOPED_TRACE(name.toStdString());
        const QString inside = name.section('/', 1);
        const Outcome owner = Execute("dpkg", {"-S", "*/" + (inside.startsWith("lib/") ? it.fileName() : inside)});
        ASSERT_EQ(owner.status, 0) << owner.output.toStdString();
        const QString package = owner.output.section(':', 0, 0);
        EXPECT_EQ(FileBytes(out + "/licenses/" + package + "/copyright"),
                  FileBytes("/usr/share/doc/" + package + "/copyright"));
        const Outcome version = Execute("dpkg-query", {"-W", "-f=${Version}", package});
        EXPECT_NE(sources.indexOf("  " + package + " " + version.output + ", from the source package"), -1);
        EXPECT_NE(sources.indexOf(name), -1);
        ++covered;
    }
    EXPECT_GT(covered, 30);
    EXPECT_NE(sources.indexOf("licenses/discstart/LICENSE"), -1);
}

}  // namespace
