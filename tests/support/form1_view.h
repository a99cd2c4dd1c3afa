#pragma once

#include "app/form1.h"
#include "app/form1_panel.h"

namespace discstart {

// The tests' one view into the window beyond what a user sees and does: its controls under their
// design names, what it found, and, under the design's names, the steps no click or key can make
// alone (a press with several buttons held, the panel's run on a window never activated).
class Form1View {
  public:
    explicit Form1View(Form1& form) : form_(form) {}

    const Form1Ui& ui() const { return form_.ui; }
    const DiscContent& disc() const { return form_.disc_; }
    const QString& moviePath() const { return form_.moviePath_; }
    // The tag record as an earlier read would have left it.
    MovieTags& movieTags() { return form_.panel_->movieTags; }

    void Form_Activate() { form_.Form_Activate(); }
    // load_html as if DataIN had found `disc`.
    void load_html(const DiscContent& disc) {
        form_.disc_ = disc;
        form_.load_html();
    }
    void Form_MouseDown(int button) { form_.Form_MouseDown(button); }
    void Image1_MouseDown(int button) { form_.Image1_MouseDown(button); }
    void Label1_MouseDown(int button) { form_.Label1_MouseDown(button); }
    void Picture2_MouseDown(int button) { form_.Picture2_MouseDown(button); }
    void Picture6_MouseDown(int button) { form_.Picture6_MouseDown(button); }
    void Picture3_MouseDown(int button) { form_.Picture3_MouseDown(button); }
    void Picture3_MouseUp(int button) { form_.Picture3_MouseUp(button); }
    void Picture1_Click() { form_.Picture1_Click(); }

  private:
    Form1& form_;
};

}  // namespace discstart
