#pragma once

namespace discstart {

class Form1;
struct Form1Ui;

// Tells screen readers what the window's controls are: names for the buttons, the
// picture buttons as buttons they can press, the four tag lines as one group. Call once,
// when the controls exist.
void DescribeForAssistiveTools(Form1& form, const Form1Ui& ui);

}  // namespace discstart
