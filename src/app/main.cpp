#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "form1.h"
#include "page_view.h"
#include "qt_platform.h"

int main(int argc, char** argv) {
    PreferX11WindowSystem();
    PreparePageEngines();
    QApplication app(argc, argv);
    RegisterDesignFonts();
    QtPlatform platform;
    Form1 form(platform);
    try {
        form.Form_Load();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Form1"), QString::fromLocal8Bit(error.what()));
        return 1;
    }
    form.show();
    return app.exec();
}
