#pragma once

#include <vector>

class QCheckBox;
class QPushButton;

namespace discstart {

class FormLabel;
class LimitedLineEdit;
class PageView;
class PictureBox;

// The window's controls under their design names, each also its objectName; the label arrays
// `lbl` and `lblY` name every element "<array>_<index>" ("lbl_0" .. "lbl_11").
// docs/architecture.md says what each one is for. The window owns them; the pointers are its.
struct Form1Ui {
    // Title strip: Picture2 holds Label1 (the movie's name), Text5 holds that name cut to length.
    PictureBox* Picture2 = nullptr;
    FormLabel* Label1 = nullptr;
    LimitedLineEdit* Text5 = nullptr;
    // Buttons: close (Picture3, pressed face Picture5), show page (Picture1), hide page (Picture4), play.
    PictureBox* Picture3 = nullptr;
    PictureBox* Picture5 = nullptr;
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture4 = nullptr;
    QPushButton* cmdPlay = nullptr;
    // The page view.
    PageView* WebBrowser1 = nullptr;
    // The cover picture and the note shown in its place when the folder has none.
    PictureBox* Image1 = nullptr;
    FormLabel* Label2 = nullptr;
    // The Xvid picture.
    PictureBox* Picture6 = nullptr;
    // Tag lines: title, author, copyright, genre; each written through its hidden text box Text1..Text4.
    FormLabel* Label3 = nullptr;
    FormLabel* lblAuthor = nullptr;
    FormLabel* lblCopyright = nullptr;
    FormLabel* Label4 = nullptr;
    LimitedLineEdit* Text1 = nullptr;
    LimitedLineEdit* Text2 = nullptr;
    LimitedLineEdit* Text3 = nullptr;
    LimitedLineEdit* Text4 = nullptr;
    // The panel: captions (lblY) and values (lbl), twelve rows each once Form_Load has run.
    std::vector<FormLabel*> lblY;
    std::vector<FormLabel*> lbl;
    // Hidden setting: ticked, the audio bitrate is shown in the usual steps.
    QCheckBox* chkRB = nullptr;
};

}  // namespace discstart
