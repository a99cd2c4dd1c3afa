#include "app/program.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/form1.h"
#include "app/qt_platform.h"
#include "page/page_view.h"

namespace discstart {

int RunProgram(int argc, char** argv, const ProgramParts& parts) {
    PreferX11WindowSystem();
    PreparePageEngines();
    QApplication app(argc, argv);
    UseDesignFonts();
    const std::unique_ptr<Platform> platform =
        parts.platform ? parts.platform() : std::make_unique<QtPlatform>();
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
