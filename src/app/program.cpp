#include "app/program.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/qt_platform.h"
#include "content/app_path.h"
#include "content/discovery.h"
#include "content/native_name.h"
#include "page/page_view.h"
#include "system/system.h"

namespace discstart {

namespace {

// While the application object connects to the display, a failure Qt would answer with an
// abort and a page of advice ends the program with one line; what it says otherwise is said
// once the connection stands.
struct HeldMessage {
    QtMsgType type;
    const char* file;  // the context's texts are the program's own literals
    int line;
    const char* function;
    const char* category;
    QString text;
};
QtMessageHandler qtHandler = nullptr;
QList<HeldMessage>* held = nullptr;

void WhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("discstart: no display (the window system cannot be reached)\n", stderr);
        std::_Exit(1);
    }
    held->append({type, context.file, context.line, context.function, context.category, message});
}

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (const std::string& argument : ProgramArguments(argc, argv))
        args << NameFromNativeBytes(QByteArray::fromStdString(argument));
    return args;
}

bool HoldsContent(const QString& folder) {
    const DiscContent content = DiscoverContent(SystemPath(folder));
    return content.movies.ListCount() + content.pictures.ListCount() + content.pages.ListCount() > 0;
}

}  // namespace

int RunProgram(int argc, char** argv, const ProgramParts& parts) {
#ifdef DISCSTART_INSTALLED_BINDIR
    const QString installed = QStringLiteral(DISCSTART_INSTALLED_BINDIR);
#else
    const QString installed;
#endif
    const StartRequest request =
        ReadCommandLine(Arguments(argc, argv), QtPath(ApplicationDirectory()), installed, HoldsContent);
    if (request.action != StartRequest::Action::Window) {
        std::fputs(request.message.toLocal8Bit().constData(), request.status == 0 ? stdout : stderr);
        return request.status;
    }
    const QString missing = MissingDisplay([](const char* name) { return qEnvironmentVariable(name); });
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "discstart: no display (%s)\n", missing.toLocal8Bit().constData());
        return 1;
    }
    PreferX11WindowSystem();
    PreparePageEngines();
    QList<HeldMessage> said;
    held = &said;
    qtHandler = qInstallMessageHandler(WhileConnecting);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    held = nullptr;
    for (const HeldMessage& m : said)
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
    UseDesignFonts();
    const std::unique_ptr<Platform> platform =
        parts.platform ? parts.platform() : std::make_unique<QtPlatform>(request.folder);
    const std::unique_ptr<Form1> form =
        parts.form ? parts.form(*platform) : std::make_unique<Form1>(*platform);
    try {
        form->Form_Load();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Form1"), QString::fromLocal8Bit(error.what()));
        return 1;
    }
    form->show();
    return QApplication::exec();
}

}  // namespace discstart
