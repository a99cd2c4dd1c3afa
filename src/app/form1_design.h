#pragma once

#include <QPoint>
#include <QRgb>
#include <span>

namespace discstart {

// The window's design as data, in twips, as it was drawn. form1_build.cpp turns it into widgets.

enum class ControlKind { TextBox, CheckBox, PictureBox, FileList, Label, WebBrowser, CommandButton, Image };

// Label colours: a fixed colour, a colour of the user's scheme, or none (transparent).
struct DesignColour {
    enum Kind { None, Fixed, WindowText, ButtonText, ButtonFace };
    Kind kind = None;
    QRgb rgb = 0;
};

struct ControlDesign {
    const char* name;
    ControlKind kind;
    int left;
    int top;
    int width;
    int height;
    bool visible;
    int tab;                          // focus order; -1 takes no focus
    const char* container = nullptr;  // nullptr: the window itself
    int maxLength = 0;                // text boxes
    const char* caption = "";
    const char* picture = nullptr;  // file name under :/assets/
    DesignColour back{};
    DesignColour fore{};
    bool bold = false;
    bool centred = false;
    bool autoSize = false;
    bool checked = false;
    bool customPointer = false;
    const char* pattern = nullptr;  // file lists
    bool array = false;             // element 0 of a control array
};

struct FormDesign {
    const char* caption;
    int width;
    int height;
    const char* background;  // file names under :/assets/
    const char* icon;
    const char* cursor;  // the pointer over the page button
    QPoint cursorHotSpot;
    double fontPointSize;
    const char* fontFamily;
    QRgb focusMark;  // the keyboard focus on the picture buttons: the panel's text colour
};

const FormDesign& Form1Design();
// Every control, from the top of the stacking order to the bottom.
std::span<const ControlDesign> Form1Controls();
const ControlDesign& FindControlDesign(const char* name);

// Windowed controls cover labels and the image whatever their order.
bool HasOwnWindow(ControlKind kind);

}  // namespace discstart
