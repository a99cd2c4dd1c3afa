// A disc's launcher on a Wayland desktop without X (a headless weston): it starts on the Qt
// the disc carries, through the disc's Wayland plugin, and shows the window, panel filled,
// as it does under X.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "disc_layout.h"
#include "make_disc_run.h"

namespace discstart {

// Handed in by the build: MAKE_DISC, LAUNCHER, DISCINFO, DEMO_DISC.

namespace {

constexpr QSize Screen(1024, 768);

int Distance(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
}

// Everything drawn on a screen of one colour (a bare X server's).
QRect Drawn(const QImage& shot) {
    QRect drawn;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != shot.pixel(0, 0)) drawn |= QRect(x, y, 1, 1);
    return drawn;
}

// Where `window` lies in `shot`, judged by a grid of its pixels; null when nowhere.
QPoint Find(const QImage& shot, const QImage& window) {
    QList<QPoint> probes;
    for (int y = 2; y < window.height(); y += window.height() / 9)
        for (int x = 2; x < window.width(); x += window.width() / 9) probes << QPoint(x, y);
    for (int top = 0; top + window.height() <= shot.height(); ++top)
        for (int left = 0; left + window.width() <= shot.width(); ++left) {
            const QPoint at(left, top);
            if (std::all_of(probes.begin(), probes.end(),
                            [&](QPoint p) { return Distance(shot.pixel(at + p), window.pixel(p)) <= 24; }))
                return at;
        }
    return {};
}

int DifferentPixels(const QImage& shot, QPoint at, const QImage& window) {
    int different = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            if (Distance(shot.pixel(at + QPoint(x, y)), window.pixel(x, y)) > 60) ++different;
    return different;
}

bool Have(const char* tool) {
    return !QStandardPaths::findExecutable(tool).isEmpty();
}

// Ends a process it was given when it goes out of scope.
struct Running {
    QProcess process;
    ~Running() {
        process.kill();
        process.waitForFinished();
    }
};

class WaylandStart : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"weston", "weston-screenshooter", "xvfb-run", "import"})
            if (!Have(tool)) GTEST_SKIP() << tool << " is missing (scripts/deps x11 wayland)";
        disc = work.filePath("disc");
        const QString demo = DEMO_DISC;
        const Outcome made = RunMakeDisc({demo + "/film.avi", "--cover", demo + "/cover.jpg", "--page",
                                          demo + "/intro.htm", "--linux-only", disc});
        ASSERT_EQ(made.status, 0) << made.output.toStdString();
        runtime = work.filePath("runtime");
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The window as the same disc shows it under X, on the disc's Qt too.
    QImage WindowUnderX() {
        const QString shot = work.filePath("x.png");
        const Outcome run =
            Execute("xvfb-run",
                    {"-a", "-s", "-screen 0 1024x768x24", "sh", "-c",
                     "\"$0\" & sleep 4; import -window root \"$1\"; kill $!", disc + "/discstart", shot},
                    {"DISCSTART_QT=disc", "XDG_RUNTIME_DIR=" + runtime});
        const QImage screen(shot);
        EXPECT_EQ(screen.size(), Screen) << run.output.toStdString();
        return screen.isNull() ? QImage() : screen.copy(Drawn(screen)).convertToFormat(QImage::Format_RGB32);
    }

    // Screenshots from the compositor until `window` shows in one, or 20 s have passed.
    QImage ShotShowing(const QImage& window, QPoint& at) {
        QImage shot;
        for (int attempt = 0; attempt < 40; ++attempt) {
            QThread::msleep(500);
            QProcess shooter;
            shooter.setWorkingDirectory(work.path());
            shooter.setProcessEnvironment(WaylandEnvironment());
            shooter.start("weston-screenshooter", {});
            if (!shooter.waitForFinished(10000)) continue;
            const QStringList shots = QDir(work.path()).entryList({"wayland-screenshot-*.png"}, QDir::Files);
            if (shots.isEmpty()) continue;
            shot = QImage(work.filePath(shots.last())).convertToFormat(QImage::Format_RGB32);
            for (const auto& name : shots) QFile::remove(work.filePath(name));
            at = Find(shot, window);
            if (!at.isNull()) return shot;
        }
        return shot;
    }

    QProcessEnvironment WaylandEnvironment() const {
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("WAYLAND_DISPLAY", "discstart-test");
        return env;
    }

    QTemporaryDir work;
    QString disc, runtime;
};

TEST_F(WaylandStart, ShowsTheWindowWithItsPanelAsUnderX) {
    const QImage window = WindowUnderX();
    ASSERT_EQ(window.size(), QSize(465, 397));

    Running weston;
    QProcessEnvironment env = WaylandEnvironment();
    env.remove("WAYLAND_DISPLAY");
    weston.process.setProcessEnvironment(env);
    weston.process.setProcessChannelMode(QProcess::MergedChannels);
    weston.process.start("weston", {"--backend=headless-backend.so", "--use-pixman",
                                    "--socket=discstart-test", "--width=1024", "--height=768", "--debug"});
    for (int i = 0; i < 100 && !QFileInfo::exists(runtime + "/discstart-test"); ++i) QThread::msleep(100);
    ASSERT_TRUE(QFileInfo::exists(runtime + "/discstart-test")) << weston.process.readAll().toStdString();

    Running launcher;
    env = WaylandEnvironment();
    env.insert("QT_DEBUG_PLUGINS", "1");
    env.insert("DISCSTART_QT", "disc");
    launcher.process.setProcessEnvironment(env);
    launcher.process.setProcessChannelMode(QProcess::MergedChannels);
    launcher.process.start(disc + "/discstart", {});
    ASSERT_TRUE(launcher.process.waitForStarted());

    QPoint at;
    const QImage shot = ShotShowing(window, at);
    EXPECT_EQ(launcher.process.state(), QProcess::Running);
    launcher.process.kill();
    launcher.process.waitForFinished();
    const QString output = QString::fromLocal8Bit(launcher.process.readAll());
    ASSERT_FALSE(at.isNull()) << "no window on the Wayland screen\n" << output.toStdString();
    EXPECT_NE(output.indexOf(disc + "/" QT_PLUGINS "/platforms/libqwayland-generic.so\" loaded library"), -1)
        << output.toStdString();
    // Cover, captions, tags and the panel's values, pixel for pixel as under X.
    EXPECT_LE(DifferentPixels(shot, at, window), window.width() * window.height() / 100);
}

}  // namespace

}  // namespace discstart
