#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "app/form1.h"
#include "support/fake_page_view.h"
#include "support/fake_platform.h"
#include "support/form1_view.h"

namespace discstart {

// A temporary disc folder and a window started on it with the fake platform.
class DiscFolder {
  public:
    DiscFolder();
    QString path() const { return dir_.path(); }
    void add(const QString& name, const QByteArray& bytes = QByteArray("x"));
    void addDirectory(const QString& name);

  private:
    QTemporaryDir dir_;
};

struct StartedForm {
    FakePlatform platform;
    FakePageView* page = nullptr;
    std::unique_ptr<Form1> form;

    Form1View view() const { return Form1View(*form); }
};

// Waits until the cover picture the window is reading has arrived or been left out.
void WaitForCover(Form1& form);

// Builds the window on `directory` and runs Form_Load, cover included; `Form` may be a subclass.
template <typename Form = Form1>
std::unique_ptr<StartedForm> StartForm(const QString& directory, bool load = true) {
    auto started = std::make_unique<StartedForm>();
    started->platform.directory = directory;
    StartedForm* raw = started.get();
    started->form = std::make_unique<Form>(started->platform, [raw](QWidget* parent) {
        raw->page = new FakePageView(parent);
        return raw->page;
    });
    if (load) {
        started->form->Form_Load();
        WaitForCover(*started->form);
    }
    return started;
}

// A small AVI file: RIFF/AVI header and an INFO list holding a title at offset 320.
QByteArray AviWithTitle(const QByteArray& title);
// A JPEG of the given size and colour.
QByteArray JpegPicture(int width, int height, Qt::GlobalColor colour);

}  // namespace discstart

// Readable failures; gtest finds it beside QString.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
