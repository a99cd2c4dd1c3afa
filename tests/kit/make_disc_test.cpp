#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "disc_files.h"
#include "run_program.h"

// Handed in by the build: the paths MAKE_DISC, LAUNCHER, DISCINFO, WITHOUT_QT, DEMO_DISC, and
// WEBENGINE, whether the launcher carries Qt WebEngine.

namespace {

// Starts a program and tells whether it is still running after a while: the launcher never
// ends by itself, so an early end is a failed start. The output seen so far comes back, and in
// `mapped` the files the process had mapped by then (env and the start program exec the
// launcher, so it keeps their process).
bool KeepsRunning(const QString& program, const QStringList& args, QString& output,
                  const QStringList& env = {}, QStringList* mapped = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory("/");
    // Chromium refuses to run as root inside its sandbox; the light build ignores the flag.
    process.start("env", QStringList{"-i", "QT_QPA_PLATFORM=offscreen", "QT_DEBUG_PLUGINS=1",
                                     "QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox"} +
                             env + QStringList{program} + args);
    bool running = process.waitForStarted() && !process.waitForFinished(3000);
    if (running && mapped) {
        QFile maps(QString("/proc/%1/maps").arg(process.processId()));
        if (maps.open(QIODevice::ReadOnly))
            for (const auto& line : QString::fromLocal8Bit(maps.readAll()).split('\n'))
                if (line.contains('/')) *mapped << line.mid(line.indexOf('/'));
    }
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
        {"discstart-host", true, true},
        {"discstart-disc", true, true},
        {"autorun.sh", true, true},
        {"autorun.inf", true, false},
        {"qt.conf", false, false},
        {"qt/read-order", true, false},
        {QT_LIBS "/libQt6Core.so.6", true, false},
        {QT_LIBS "/libQt6Gui.so.6", true, false},
        {QT_LIBS "/libQt6Widgets.so.6", true, false},
        {QT_LIBS "/libQt6XcbQpa.so.6", true, false},
        {QT_LIBS "/libQt6WaylandClient.so.6", true, false},
        {QT_LIBS "/libicudata.so.72", true, false},
        {QT_PLUGINS "/platforms/libqxcb.so", true, false},
        {QT_PLUGINS "/platforms/libqwayland-generic.so", true, false},
        {QT_PLUGINS "/platforms/libqoffscreen.so", true, false},
        {QT_PLUGINS "/wayland-shell-integration/libxdg-shell.so", true, false},
        {QT_PLUGINS "/imageformats/libqjpeg.so", true, false},
        {QT_PLUGINS "/imageformats/libqgif.so", true, false},
        {QT_LIBS "/libc.so.6", false, false},
        {QT_LIBS "/libm.so.6", false, false},
        {QT_LIBS "/libstdc++.so.6", false, false},
        {QT_LIBS "/libGL.so.1", false, false},
        {QT_LIBS "/libEGL.so.1", false, false},
        {QT_LIBS "/libX11.so.6", false, false},
        {QT_LIBS "/libwayland-client.so.0", false, false},
        {"libdiscstart_webengine.so", WEBENGINE, false},
        {"qt/lib/qt6/libexec/QtWebEngineProcess", WEBENGINE, WEBENGINE},
        {"qt/lib/qt6/libexec/qt.conf", WEBENGINE, false},
        {"qt/share/qt6/resources/qtwebengine_resources.pak", WEBENGINE, false},
        {"qt/share/qt6/translations/qtwebengine_locales/en-US.pak", WEBENGINE, false},
        {QT_LIBS "/libnss3.so", false, false},
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

TEST_F(MakeDisc, WritesTheAutorunFiles) {
    struct Text {
        const char* path;
        const char* expected;
    } texts[] = {
        {"autorun.inf", "[autorun]\r\nopen=discstart.exe\r\nicon=discstart.ico\r\nlabel=Deep Field\r\n"},
        {"autorun.sh",
         "#!/bin/sh\n# Linux desktops offer to run this when the disc is mounted; by hand: sh autorun.sh\n"
         "cd \"$(dirname \"$0\")\" || exit 1\nexec ./discstart \"$@\"\n"},
    };
    for (const auto& t : texts) {
        QFile file(out + "/" + t.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << t.path;
        EXPECT_EQ(file.readAll().toStdString(), t.expected) << t.path;
    }
}

// The launcher for the disc's Qt loads Qt from the disc alone, its libraries as they are; the
// one for the machine's Qt carries no way into the disc.
TEST_F(MakeDisc, EachLauncherFindsItsOwnQt) {
    const QString disc = QFileInfo(out).canonicalFilePath() + "/";
    Outcome ldd = Execute("ldd", {out + "/discstart-disc"}, {"LD_LIBRARY_PATH="});
    ASSERT_EQ(ldd.status, 0) << ldd.output.toStdString();
    EXPECT_EQ(ldd.output.indexOf("not found"), -1) << ldd.output.toStdString();
    int fromDisc = 0;
    for (const auto& line : ldd.output.split('\n')) {
        if (!line.contains("libQt6") && !line.contains("libicu")) continue;
        QString path = QFileInfo(line.section("=> ", 1).section(" (", 0, 0)).canonicalFilePath();
        EXPECT_TRUE(path.startsWith(disc)) << line.toStdString();
        ++fromDisc;
    }
    EXPECT_GE(fromDisc, 5);
    for (const char* program :
         {"discstart-host", QT_LIBS "/libQt6Gui.so.6", QT_PLUGINS "/platforms/libqxcb.so"}) {
        Outcome paths = Execute("readelf", {"-d", out + "/" + program});
        EXPECT_EQ(paths.output.indexOf("RPATH"), -1) << program;
        EXPECT_EQ(paths.output.indexOf("RUNPATH"), -1) << program;
    }
}

// Every file of the launcher in the order it is read, each once; the start program carries it.
TEST_F(MakeDisc, ListsTheLaunchersFilesInReadingOrder) {
    QFile list(out + "/qt/read-order");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray text = list.readAll();
    QStringList lines = QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"start discstart", "host discstart-host", "disc discstart-disc"}));
    QStringList listed;
    for (const auto& line : lines) listed << line.section(' ', 1);
    QStringList files{"discstart", "discstart-host", "discstart-disc"};
    QDirIterator it(out + "/qt", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(out).relativeFilePath(it.next());
    if (WEBENGINE) files << "libdiscstart_webengine.so";
    listed.sort();
    files.sort();
    EXPECT_EQ(listed, files);
    QFile start(out + "/discstart");
    ASSERT_TRUE(start.open(QIODevice::ReadOnly));
    const QByteArray tail = start.readAll().right(text.size() + 24);
    EXPECT_EQ(tail, text + "\n#read-order " + QByteArray::number(text.size()).rightJustified(10, '0') + "\n");
}

TEST_F(MakeDisc, LauncherStartsFromItsFolderOnEitherQt) {
    const bool hidden = WithoutQtWorks();
    const QString disc = QFileInfo(out).canonicalFilePath() + "/";
    const QString discPlugin = out + "/" QT_PLUGINS "/platforms/libqoffscreen.so\" loaded library";
    struct Start {
        const char* name;
        QString program;
        QStringList args;
        QStringList env;
        bool hideQt;
        bool discQt;  // else the machine's
    } starts[] = {
        {"the launcher on the machine's Qt", out + "/discstart", {}, {}, false, false},
        {"autorun.sh through /bin/sh", "/bin/sh", {out + "/autorun.sh"}, {}, false, false},
        {"the disc's Qt by hand", out + "/discstart", {}, {"DISCSTART_QT=disc"}, false, true},
        {"no Qt on the machine", out + "/discstart", {}, {}, true, true},
        {"no Qt on the machine, autorun.sh", "/bin/sh", {out + "/autorun.sh"}, {}, true, true},
    };
    for (const auto& s : starts) {
        SCOPED_TRACE(s.name);
        if (s.hideQt && !hidden) continue;
        QString output;
        QStringList mapped;
        const QString program = s.hideQt ? QString(WITHOUT_QT) : s.program;
        const QStringList args = s.hideQt ? QStringList{s.program} + s.args : s.args;
        ASSERT_TRUE(KeepsRunning(program, args, output, s.env, &mapped)) << output.toStdString();
        EXPECT_EQ(output.indexOf(discPlugin) != -1, s.discQt) << output.toStdString();
        int qtLibraries = 0;
        for (const auto& file : mapped) {
            if (!file.contains("/libQt6") && !file.contains("/libicu")) continue;
            ++qtLibraries;
            EXPECT_EQ(QFileInfo(file).canonicalFilePath().startsWith(disc), s.discQt) << file.toStdString();
        }
        EXPECT_GE(qtLibraries, 3);
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
    ASSERT_EQ(
        Execute("patchelf", {"--force-rpath", "--set-rpath", "$ORIGIN/" QT_LIBS, copy.filePath("discinfo")})
            .status,
        0);
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
                             "'/discstart'", "'/discstart-disc'", "'/autorun.sh'", "'/autorun.inf'",
                             "'/" QT_LIBS "/libQt6Core.so.6'", "'/" QT_PLUGINS "/platforms/libqxcb.so'"})
        EXPECT_NE(rockRidge.output.indexOf(path), -1) << path;
    Outcome modes = Execute("xorriso", {"-indev", iso, "-lsl", "/discstart"});
    EXPECT_NE(modes.output.indexOf("-r-xr-xr-x"), -1) << modes.output.toStdString();
    Outcome joliet =
        Execute("xorriso", {"-read_fs", "norock", "-indev", iso, "-find", "/", "-name", "*.avi"});
    EXPECT_NE(joliet.output.indexOf("'/Deep Field.avi'"), -1) << joliet.output.toStdString();
}

// The launcher's files lie in the order they are read, then the cover and the movie; Qt is
// zisofs-compressed and reads back as it was, the start program is stored as it is.
TEST_F(MakeDisc, IsoLaysOutTheLauncherInReadingOrderWithQtCompressed) {
    Outcome report =
        Execute("xorriso", {"-indev", iso, "-find", "/", "-type", "f", "-exec", "report_lba", "--"});
    ASSERT_EQ(report.status, 0) << report.output.toStdString();
    QMap<QString, int> lba;
    for (const auto& line : report.output.split('\n'))
        if (line.startsWith("File data lba:"))
            lba[line.section('\'', 1, 1)] = line.section(',', 1, 1).toInt();
    const QStringList order{"/discstart",      "/discstart-host",
                            "/discstart-disc", "/" QT_LIBS "/libQt6Widgets.so.6",
                            "/cover.jpg",      "/Deep Field.avi"};
    for (int i = 1; i < order.size(); ++i)
        EXPECT_LT(lba.value(order[i - 1]), lba.value(order[i])) << order[i - 1].toStdString();
    struct Stream {
        const char* path;
        bool compressed;
    } streams[] = {{"/discstart", false},
                   {"/discstart-disc", true},
                   {"/" QT_LIBS "/libQt6Core.so.6", true},
                   {"/cover.jpg", false}};
    for (const auto& s : streams) {
        Outcome shown = Execute("xorriso", {"-indev", iso, "-find", s.path, "-exec", "show_stream", "--"});
        EXPECT_EQ(shown.output.contains("zisofs"), s.compressed) << s.path << shown.output.toStdString();
    }
    const QString back = work->filePath("back.so");
    ASSERT_EQ(Execute("xorriso",
                      {"-osirrox", "on", "-indev", iso, "-extract", "/" QT_LIBS "/libQt6Core.so.6", back})
                  .status,
              0);
    QFile extracted(back), original(out + "/" QT_LIBS "/libQt6Core.so.6");
    ASSERT_TRUE(extracted.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    EXPECT_TRUE(extracted.readAll() == original.readAll());
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
