#include "app/qt_platform.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/window_move.h"
#include "content/app_path.h"
#include "content/native_name.h"
#include "content/regional_format.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include "app/windows/open_with_shell.h"
#else
#include "app/detached_start.h"
#endif

namespace discstart {

QRect QtPlatform::screenGeometry() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

void QtPlatform::keepOnTop(QWidget& window) {
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void QtPlatform::startWindowDrag(QWidget& window) {
#ifdef Q_OS_WIN
    // As if the title bar were grabbed: the system's own move loop runs until the button is
    // released. Qt's startSystemMove refuses a window without a system menu, as ours is.
    if (const HWND hwnd = reinterpret_cast<HWND>(window.winId())) {
        ::ReleaseCapture();
        ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return;
    }
#endif
    QWindow* handle = window.windowHandle();
    if (handle && handle->startSystemMove()) return;
    // No window manager to do it (a bare X server, offscreen): move it ourselves.
    StartManualWindowMove(window);
}

OpenCommand AssociatedOpenCommand(const QString& path) {
    // Absolute, so a name that begins with "-" can't be taken for an option; an absolute
    // path is kept as it is, escaped bytes and all.
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path);
    return {QStringLiteral("xdg-open"), {absolute}, QStringLiteral("/")};
}

bool QtPlatform::openWithAssociatedApplication(const QString& path, QWidget* owner) {
#ifdef Q_OS_WIN
    return OpenWithShell(path, owner);
#else
    Q_UNUSED(owner);
    const OpenCommand command = AssociatedOpenCommand(path);
    QList<QByteArray> arguments;
    for (const QString& argument : command.arguments) arguments.append(NativePathBytes(argument));
    return StartDetached(command.program.toUtf8(), arguments, NativePathBytes(command.workingDirectory)) > 0;
#endif
}

void QtPlatform::endProgramNow() {
    std::fflush(nullptr);
    std::_Exit(0);
}

QString QtPlatform::applicationDirectory() const {
    return folder_.isEmpty() ? QtPath(ApplicationDirectory()) : folder_;
}

NumberFormat QtPlatform::numberFormat() const {
    return NumberFormatOf(QLocale::system());
}

void PreferX11WindowSystem() {
#if defined(Q_OS_LINUX)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))  // no XWayland to go to
        return;
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    if (!plugins.entryList({QStringLiteral("*qxcb*")}, QDir::Files).isEmpty())
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

// Which window system the program needs is the platform's to know.
QString MissingDisplay(const std::function<QString(const char*)>& variable) {
#ifdef Q_OS_WIN
    Q_UNUSED(variable);
    return {};
#else
    // X is Qt's choice unless told otherwise; the other platforms draw without a display or find
    // their own (Wayland's default socket), and one that cannot start is caught as it fails.
    const QString platform =
        variable("QT_QPA_PLATFORM").section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0);
    if (!platform.isEmpty() && platform != QLatin1String("xcb")) return {};
    if (!variable("DISPLAY").isEmpty() || !variable("WAYLAND_DISPLAY").isEmpty()) return {};
    return QStringLiteral("DISPLAY and WAYLAND_DISPLAY are unset");
#endif
}

}  // namespace discstart
