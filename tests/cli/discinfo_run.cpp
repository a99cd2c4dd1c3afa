#include "discinfo_run.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#ifdef _WIN32
#include <QSettings>

#include <windows.h>

namespace {

// Windows takes the number format from the user's regional settings, not from the environment:
// they are set as the user would set them for the run, then put back. (Tests that run discinfo
// therefore run alone: see CMakeLists.txt.)
class RegionalSettings {
  public:
    explicit RegionalSettings(const QString& lang)
        : settings_(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\International"),
                    QSettings::NativeFormat),
          decimal_(settings_.value(QStringLiteral("sDecimal"))),
          group_(settings_.value(QStringLiteral("sThousand"))) {
        const bool german = lang.startsWith(QLatin1String("de"));
        settings_.setValue(QStringLiteral("sDecimal"), german ? "," : ".");
        settings_.setValue(QStringLiteral("sThousand"), german ? "." : ",");
        settings_.sync();
    }
    ~RegionalSettings() {
        restore(QStringLiteral("sDecimal"), decimal_);
        restore(QStringLiteral("sThousand"), group_);
        settings_.sync();
    }
    RegionalSettings(const RegionalSettings&) = delete;
    RegionalSettings& operator=(const RegionalSettings&) = delete;

  private:
    void restore(const QString& key, const QVariant& value) {
        value.isValid() ? settings_.setValue(key, value) : settings_.remove(key);
    }

    QSettings settings_;
    QVariant decimal_;
    QVariant group_;
};

}  // namespace
#endif

namespace discstart {

Outcome Discinfo(const QStringList& args, const RunSetup& setup) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.remove("LC_NUMERIC");
    env.insert("LANG", setup.lang);
    for (const QString& pair : setup.environment) env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(env);
    if (!setup.workingDirectory.isEmpty()) process.setWorkingDirectory(setup.workingDirectory);
    QStringList command = QStringList{DISCINFO_PATH} + args;
    if (!setup.stdoutRedirect.isEmpty()) {
        command = QStringList{"sh", "-c", "exec \"$0\" \"$@\" " + setup.stdoutRedirect} + command;
    }
    if (setup.unprivileged) {
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
    }
#ifdef _WIN32
    const RegionalSettings regional(setup.lang);
#endif
#ifdef Q_OS_UNIX
    if (setup.closedOutput) {
        process.setChildProcessModifier([] {
            int ends[2];
            if (::pipe(ends) != 0) return;
            ::close(ends[0]);
            ::dup2(ends[1], STDOUT_FILENO);
            ::close(ends[1]);
        });
    }
#endif
#ifdef _WIN32
    // The write end of a pipe whose read end is closed, in place of the one QProcess reads.
    HANDLE closedPipe = nullptr;
    if (setup.closedOutput) {
        process.setCreateProcessArgumentsModifier([&closedPipe](QProcess::CreateProcessArguments* arguments) {
            SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
            HANDLE read = nullptr;
            if (!::CreatePipe(&read, &closedPipe, &inherited, 0)) return;
            ::CloseHandle(read);
            arguments->startupInfo->hStdOutput = closedPipe;
        });
    }
#endif
    process.start(command.first(), command.mid(1));
#ifdef _WIN32
    if (closedPipe) ::CloseHandle(closedPipe);
#endif
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace discstart
