#include "app/form1_design.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

namespace discstart {

namespace {

constexpr DesignColour Fixed(int r, int g, int b) {
    return {DesignColour::Fixed, qRgb(r, g, b)};
}
constexpr DesignColour WindowText{DesignColour::WindowText};
constexpr DesignColour ButtonText{DesignColour::ButtonText};
constexpr DesignColour White = Fixed(255, 255, 255);
constexpr DesignColour PanelBlue = Fixed(156, 208, 248);

using K = ControlKind;

// clang-format off
const std::array<ControlDesign, 24> Controls{{
    {.name = "Text5", .kind = K::TextBox, .left = 720, .top = 2610, .width = 2415, .height = 315, .visible = false, .tab = 22, .maxLength = 64},
    {.name = "Text4", .kind = K::TextBox, .left = 720, .top = 1800, .width = 2415, .height = 285, .visible = false, .tab = 20, .maxLength = 28},
    {.name = "Text3", .kind = K::TextBox, .left = 720, .top = 1440, .width = 2415, .height = 285, .visible = false, .tab = 19, .maxLength = 28},
    {.name = "Text2", .kind = K::TextBox, .left = 720, .top = 1020, .width = 2415, .height = 315, .visible = false, .tab = 18, .maxLength = 28},
    {.name = "Text1", .kind = K::TextBox, .left = 720, .top = 630, .width = 2445, .height = 285, .visible = false, .tab = 17, .maxLength = 26},
    {.name = "chkRB", .kind = K::CheckBox, .left = 1170, .top = 3990, .width = 825, .height = 315, .visible = false, .tab = 13, .checked = true},
    {.name = "Picture4", .kind = K::PictureBox, .left = 2670, .top = 3060, .width = 465, .height = 315, .visible = false, .tab = 5, .picture = "page_hide.gif", .customPointer = true},
    {.name = "Picture1", .kind = K::PictureBox, .left = 6510, .top = 0, .width = 465, .height = 315, .visible = false, .tab = 4, .picture = "page_show.gif", .customPointer = true},
    {.name = "fileList", .kind = K::FileList, .left = 720, .top = 2250, .width = 2445, .height = 285, .visible = false, .tab = 8, .pattern = "*.avi", .array = true},
    {.name = "Picture5", .kind = K::PictureBox, .left = 2340, .top = 3060, .width = 315, .height = 315, .visible = false, .tab = 6, .picture = "close_pressed.gif"},
    {.name = "Picture3", .kind = K::PictureBox, .left = 0, .top = 0, .width = 315, .height = 315, .visible = true, .tab = 3, .picture = "close.gif"},
    {.name = "Picture2", .kind = K::PictureBox, .left = 310, .top = 0, .width = 6660, .height = 315, .visible = true, .tab = 1, .picture = "title_strip.gif"},
    {.name = "Label1", .kind = K::Label, .left = 2610, .top = 60, .width = 930, .height = 195, .visible = true, .tab = -1, .container = "Picture2", .back = Fixed(175, 175, 175), .fore = WindowText, .bold = true, .centred = true, .autoSize = true},
    {.name = "WebBrowser1", .kind = K::WebBrowser, .left = 180, .top = 6210, .width = 6720, .height = 5460, .visible = false, .tab = 7},
    {.name = "cmdPlay", .kind = K::CommandButton, .left = 3990, .top = 5460, .width = 2835, .height = 375, .visible = true, .tab = 0, .caption = "&play"},
    {.name = "Picture6", .kind = K::PictureBox, .left = 3990, .top = 370, .width = 2835, .height = 1035, .visible = false, .tab = 21, .picture = "xvid.gif"},
    {.name = "Label4", .kind = K::Label, .left = 4080, .top = 2280, .width = 2655, .height = 225, .visible = true, .tab = -1, .back = Fixed(38, 38, 38), .fore = White, .centred = true},
    {.name = "Label3", .kind = K::Label, .left = 4080, .top = 1635, .width = 2655, .height = 225, .visible = true, .tab = -1, .back = Fixed(206, 206, 206), .fore = ButtonText, .bold = true, .centred = true},
    {.name = "lblCopyright", .kind = K::Label, .left = 4080, .top = 2070, .width = 2655, .height = 225, .visible = true, .tab = -1, .back = Fixed(64, 64, 64), .fore = White, .centred = true},
    {.name = "lblAuthor", .kind = K::Label, .left = 4080, .top = 1860, .width = 2655, .height = 225, .visible = true, .tab = -1, .back = Fixed(128, 128, 128), .fore = White, .centred = true},
    {.name = "lbl", .kind = K::Label, .left = 5220, .top = 2790, .width = 1575, .height = 225, .visible = true, .tab = -1, .fore = PanelBlue, .array = true},
    {.name = "lblY", .kind = K::Label, .left = 4200, .top = 2790, .width = 1005, .height = 225, .visible = true, .tab = -1, .fore = PanelBlue, .bold = true, .array = true},
    {.name = "Label2", .kind = K::Label, .left = 390, .top = 2850, .width = 3255, .height = 285, .visible = true, .tab = -1, .fore = WindowText, .centred = true},
    {.name = "Image1", .kind = K::Image, .left = 140, .top = 380, .width = 3825, .height = 5460, .visible = true, .tab = -1},
}};
// clang-format on

const FormDesign Form{
    .caption = "Form1",
    .width = 6975,
    .height = 5955,
    .background = "frame.gif",
    .icon = "icon.ico",
    .cursor = "cursor.png",
    .cursorHotSpot = {6, 0},
    .fontPointSize = 8.25,
    .fontFamily = "Liberation Sans",
    .focusMark = PanelBlue.rgb,
};

}  // namespace

const FormDesign& Form1Design() {
    return Form;
}

std::span<const ControlDesign> Form1Controls() {
    return Controls;
}

const ControlDesign& FindControlDesign(const char* name) {
    for (const ControlDesign& control : Controls)
        if (std::strcmp(control.name, name) == 0) return control;
    throw std::out_of_range(std::string("no control named ") + name);
}

bool HasOwnWindow(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::Image;
}

}  // namespace discstart
