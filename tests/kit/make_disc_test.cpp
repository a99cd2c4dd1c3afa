#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "disc_files.h"
#include "disc_layout.h"
#include "make_disc_run.h"

namespace discstart {

// Handed in by the build: the paths MAKE_DISC, LAUNCHER, DISCINFO, WITHOUT_QT, DEMO_DISC, and
// WEBENGINE, whether the launcher's build has Qt WebEngine.

namespace {

// Starts a program and tells whether it is running with its window's platform loaded, and
// still running a moment later: the launcher never ends by itself, so an end is a failed start.
// A busy machine can take many seconds to get there (the start program reads the disc's launcher
// whole first), so it waits for the plugin rather than a fixed time. The output seen comes back,
// and in `mapped` the files the process had mapped by then (env and the start program exec the
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
    QByteArray seen;
    bool running = process.waitForStarted();
    QElapsedTimer clock;
    clock.start();
    while (running && !seen.contains("libqoffscreen.so\" loaded library") && clock.elapsed() < 60000) {
        process.waitForReadyRead(1000);
        seen += process.readAll();
        running = process.state() == QProcess::Running;
    }
    running = running && !process.waitForFinished(1000);
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
    output = QString::fromLocal8Bit(seen + process.readAll());
    return running;
}

class MakeDisc : public testing::Test {
  protected:
    // One disc for all tests: making it copies some 65 MB. The demo disc's movie under another
    // name, named on the disc after a label; a page that refers to its files every way HTML can,
    // one of them missing, one a picture that sorts before the cover.
    static void SetUpTestSuite() {
        work = new QTemporaryDir;
        content = work->filePath("content");
        out = work->filePath("disc");
        iso = work->filePath("disc.iso");
        for (const char* folder : {"/img", "/css"}) QDir().mkpath(content + folder);
        for (const char* name : {"cover.jpg", "still.jpg"})
            ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/" + name, content + "/" + name)) << name;
        ASSERT_TRUE(QFile::copy(content + "/still.jpg", content + "/a-still.jpg"));
        ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/film.avi", content + "/Deep Field.avi"));
        const std::pair<const char*, QByteArray> files[] = {
            {"intro.htm",
             "<link rel=stylesheet href='css/site.css'><IMG SRC = \"img/a b.png\"><img src=still.jpg>"
             "<div style=\"background: url(img/c.png)\">x</div><img src=gone.png><img src=a-still.jpg>"},
            {"css/site.css", "body { background: URL(\"../img/bg.gif\") }"},
            {"img/a b.png", PictureBytes("PNG")},
            {"img/c.png", PictureBytes("PNG")},
            {"img/bg.gif", PictureBytes("GIF")},
            {"img/unused.png", PictureBytes("PNG")},
        };
        for (const auto& [name, bytes] : files) ASSERT_TRUE(WriteFile(content + "/" + name, bytes)) << name;
        made = new Outcome(RunMakeDisc({content + "/Deep Field.avi", "--cover", content + "/cover.jpg",
                                        "--page", content + "/intro.htm", "--label", Label, "--iso", iso,
                                        "--force", "--linux-only", out}));
    }
    static void TearDownTestSuite() {
        delete made;
        delete work;
    }

    static inline const QString Label = QString::fromUtf8("K\xC3\xB6ln Night Train");

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
        {"K\xC3\xB6ln Night Train.avi", true, false},
        {"Deep Field.avi", false, false},
        {"!cover.jpg", true, false},
        {"cover.jpg", false, false},
        {"a-still.jpg", true, false},
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
        {"discstart.ico", false, false},
        {"discstart", true, true},
        {"discstart-host", true, true},
        {"discstart-disc", true, true},
        {"autorun.sh", true, true},
        // A disc for Linux alone: Windows finds nothing to start.
        {"autorun.inf", false, false},
        {"discstart.exe", false, false},
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
        // The light page view, whatever the build has.
        {"libdiscstart_webengine.so", false, false},
        {"qt/lib/qt6/libexec/QtWebEngineProcess", false, false},
        {QT_LIBS "/libQt6WebEngineCore.so.6", false, false},
        {QT_LIBS "/libnss3.so", false, false},
    };
    for (const auto& e : entries) {
        QFileInfo info(out + "/" + QString::fromUtf8(e.path));
        EXPECT_EQ(info.isFile(), e.present) << e.path;
        if (e.present) {
            EXPECT_EQ(info.isExecutable(), e.executable) << e.path;
        }
    }
    const QString says[] = {"the launcher adds", "for a CD (703.1 MiB)",
                            "on the disc: the film " + Label +
                                ".avi, the cover !cover.jpg, the page intro.htm and 6 files it refers to: "
                                "css/site.css, img/a b.png, "
                                "still.jpg, img/c.png, a-still.jpg, img/bg.gif"};
    for (const QString& said : says)
        EXPECT_NE(made->output.indexOf(said), -1) << said.toStdString() << "\n" << made->output.toStdString();
    // Forced, the missing picture is the disc check's to report: once.
    EXPECT_EQ(made->output.count("refers to gone.png"), 1) << made->output.toStdString();
    EXPECT_NE(made->output.indexOf("warning[page-file-missing]: intro.htm: refers to gone.png"), -1);
}

// The page's picture sorts before the cover's name: the cover is renamed to come first, and
// discinfo, which the launcher agrees with, picks it.
TEST_F(MakeDisc, TheCoverIsTheFirstPictureTheLauncherFinds) {
    const Outcome json = Execute(DISCINFO, {"--json", out});
    ASSERT_EQ(json.status, 0) << json.output.toStdString();
    EXPECT_NE(json.output.indexOf("\"picture\":\"!cover.jpg\""), -1) << json.output.toStdString();
    EXPECT_EQ(FileBytes(out + "/!cover.jpg"), FileBytes(content + "/cover.jpg"));
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

// Every file of the launcher in the order it is read, each once, and the film the start program
// hands to the player where no launcher runs; the start program carries the list.
TEST_F(MakeDisc, ListsTheLaunchersFilesInReadingOrder) {
    QFile list(out + "/qt/read-order");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray text = list.readAll();
    QStringList lines = QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"start discstart", "host discstart-host", "disc discstart-disc"}));
    EXPECT_EQ(lines.last(), "movie " + Label + ".avi");
    QStringList listed;
    for (const auto& line : lines.mid(0, lines.size() - 1)) listed << line.section(' ', 1);
    QStringList files{"discstart", "discstart-host", "discstart-disc"};
    QDirIterator it(out + "/qt", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(out).relativeFilePath(it.next());
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
    for (const QString& text : {QString("320 x 240"), QString("25.00"), " " + Label + " "})
        EXPECT_NE(run.output.indexOf(text), -1) << text.toStdString() << "\n" << run.output.toStdString();
}

TEST_F(MakeDisc, IsoHoldsTheDiscWithJolietAndRockRidge) {
    Outcome rockRidge = Execute("xorriso", {"-indev", iso, "-find", "/", "-type", "f"});
    ASSERT_EQ(rockRidge.status, 0) << rockRidge.output.toStdString();
    for (const QString& path :
         {"'/" + Label + ".avi'", QString("'/!cover.jpg'"), QString("'/img/a b.png'"),
          QString("'/discstart'"), QString("'/autorun.sh'"), QString("'/SOURCES.txt'"),
          QString("'/" QT_LIBS "/libQt6Core.so.6'"), QString("'/" QT_PLUGINS "/platforms/libqxcb.so'")})
        EXPECT_NE(rockRidge.output.indexOf(path), -1) << path.toStdString();
    Outcome modes = Execute("xorriso", {"-indev", iso, "-lsl", "/discstart"});
    EXPECT_NE(modes.output.indexOf("-r-xr-xr-x"), -1) << modes.output.toStdString();
    // Windows reads the Joliet tree: the content and the licences, none of the Linux launcher.
    Outcome joliet = Execute("xorriso", {"-read_fs", "norock", "-indev", iso, "-find", "/", "-maxdepth", "1"},
                             {"LANG=C.UTF-8"});
    for (const QString& path : {"'/" + Label + ".avi'", QString("'/!cover.jpg'"), QString("'/intro.htm'"),
                                QString("'/licenses'"), QString("'/SOURCES.txt'")})
        EXPECT_NE(joliet.output.indexOf(path), -1) << path.toStdString() << joliet.output.toStdString();
    for (const char* linux :
         {"'/discstart'", "'/discstart-host'", "'/discstart-disc'", "'/qt'", "'/autorun.sh'"})
        EXPECT_EQ(joliet.output.indexOf(linux), -1) << linux;
    // The volume names: ISO 9660's plain one, Joliet's as the label reads (UCS-2, big-endian).
    const QByteArray image = FileBytes(iso).left(18 * 2048);
    ASSERT_EQ(image.size(), 18 * 2048);
    EXPECT_EQ(image.mid(16 * 2048 + 40, 32), QByteArray("KOLN_NIGHT_TRAIN").leftJustified(32, ' '));
    QByteArray jolietName;
    for (const QChar c : Label) jolietName.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    EXPECT_EQ(image.mid(17 * 2048, 6), QByteArray("\x02"
                                                  "CD001"));
    EXPECT_EQ(image.mid(17 * 2048 + 40, jolietName.size()), jolietName);
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
                            "/!cover.jpg",     "/" + Label + ".avi"};
    for (int i = 1; i < order.size(); ++i)
        EXPECT_LT(lba.value(order[i - 1]), lba.value(order[i])) << order[i - 1].toStdString();
    struct Stream {
        const char* path;
        bool compressed;
    } streams[] = {{"/discstart", false},
                   {"/discstart-disc", true},
                   {"/" QT_LIBS "/libQt6Core.so.6", true},
                   {"/!cover.jpg", false}};
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

// Every file bundled from a Debian package carries that package's own copyright file, as it is,
// and SOURCES.txt names the package, its version and the file.
TEST_F(MakeDisc, EveryBundledFileIsCoveredByACopyrightFile) {
    // Which package owns which file, from dpkg's own lists (read once: a dpkg -S per file takes
    // long on a busy machine).
    QMap<QString, QString> owners;  // the path's end as bundled -> package
    for (const QFileInfo& list : QDir("/var/lib/dpkg/info").entryInfoList({"*.list"}, QDir::Files)) {
        const QString package = list.completeBaseName().section(':', 0, 0);
        for (const QByteArray& line : FileBytes(list.filePath()).split('\n')) {
            const QString path = QString::fromUtf8(line);
            if (path.contains("/qt6/plugins/")) owners[path.section("/qt6/plugins/", 1)] = package;
            if (path.contains("/lib/")) owners.insert(path.section('/', -1), package);
        }
    }
    const QString sources = QString::fromUtf8(FileBytes(out + "/SOURCES.txt"));
    QDirIterator it(out + "/qt", QDir::Files, QDirIterator::Subdirectories);
    QMap<QString, QStringList> bundled;  // package -> its files on the disc
    while (it.hasNext()) {
        const QString name = QDir(out).relativeFilePath(it.next());
        if (name.endsWith("qt.conf") || name == "qt/read-order") continue;
        const QString key = name.contains("/qt6/plugins/") ? name.section("/qt6/plugins/", 1) : it.fileName();
        EXPECT_TRUE(owners.contains(key)) << name.toStdString();
        bundled[owners.value(key)] << name;
    }
    const Outcome versions =
        Execute("dpkg-query", QStringList{"-W", "-f=${Package} ${Version}\n"} + bundled.keys());
    ASSERT_EQ(versions.status, 0) << versions.output.toStdString();
    int covered = 0;
    for (const QString& line : versions.output.split('\n', Qt::SkipEmptyParts)) {
        const QString package = line.section(' ', 0, 0);
        SCOPED_TRACE(package.toStdString());
        EXPECT_EQ(FileBytes(out + "/licenses/" + package + "/copyright"),
                  FileBytes("/usr/share/doc/" + package + "/copyright"));
        EXPECT_NE(sources.indexOf("  " + line + ", from the source package"), -1);
        for (const QString& name : bundled.value(package)) {
            EXPECT_NE(sources.indexOf(name), -1) << name.toStdString();
            ++covered;
        }
    }
    EXPECT_GT(covered, 30);
    EXPECT_NE(sources.indexOf("licenses/discstart/LICENSE"), -1);
}

}  // namespace

}  // namespace discstart
