#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "content/discovery.h"
#include "info/panel.h"
#include "media/movie_types.h"

class QCheckBox;
class QPushButton;

namespace discstart {

class FormLabel;
class LimitedLineEdit;
class PageView;
class Platform;
class PictureBox;

// The launcher window. Its controls are public, as on the form they come from, and carry
// their design names as objectName. The label arrays `lbl` and `lblY` name every element
// "<array>_<index>" ("lbl_0" .. "lbl_11"). The design's file lists are DiscoverContent's, as
// discinfo and the disc check see them.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    using PageViewFactory = std::function<PageView*(QWidget* parent)>;

    // `pageViews` makes WebBrowser1; by default the build's default page engine.
    explicit Form1(Platform& platform, PageViewFactory pageViews = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: called once before the window is shown. Lets a real failure escape.
    void Form_Load();
    // Fills the panel; runs once per run, however often the window is activated.
    void Form_Activate();

    // Event handlers, under the design's names; the Qt events are routed to them.
    void Form_MouseDown(int button);
    void Image1_MouseDown(int button);
    void Label1_MouseDown(int button);
    void Picture2_MouseDown(int button);
    void Picture6_MouseDown(int button);
    void Picture3_MouseDown(int button);
    void Picture3_MouseUp(int button);
    void Form_KeyDown(int keyCode, int shift);
    void Picture1_Click();
    void Picture4_Click();
    void Text1_Change();
    void cmdPlay_Click();

    // The window's procedures, virtual so tests can watch the order they run in.
    virtual void labelY();
    virtual void labelX();
    virtual void DataIN();
    virtual void load_html();
    virtual void loadImage();
    virtual void label();
    virtual void play();

    // The controls keep their design names; docs/architecture.md says what each one is for.

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
    // The panel: captions (lblY) and values (lbl), twelve rows each.
    std::vector<FormLabel*> lblY;
    std::vector<FormLabel*> lbl;
    // Hidden setting: ticked, the audio bitrate is shown in the usual steps.
    QCheckBox* chkRB = nullptr;

    // What the window found and read.
    DiscContent disc;   // the application directory's movie, picture and page (DataIN)
    QString moviePath;  // the movie play() handed on
    // The records the panel reads into; each window has its own.
    MovieTags movieTags;
    AviHeaderInfo aviHeader;
    OggStreamInfo oggStream;
    ContainerInfo container;  // an MP4 or Matroska film
    PanelCarry panelCarry;

    // Where a control stands, in twips of its container.
    static int LeftOf(const QWidget* control);
    static int TopOf(const QWidget* control);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls(const PageViewFactory& pageViews);
    void connectHandlers();
    void placeOnScreen();
    void windowDrag(int button);
    void pageToggle();
    void flipPage();
    void pageButtonPressed();
    void closeButtonPressed();
    void playFailed();
    void focusFirstControl();
    void firstPaintDone();
    // What only shows once the user looks closer (the icon, the pointer): after the first paint.
    void dressAfterFirstPaint();
    void buildColumn(std::vector<FormLabel*>& column, const QString& name);

    Platform& platform_;
    QPixmap frame_;
    std::vector<QWidget*> focusOrder_;
    bool shownOnce_ = false;
    bool paintedOnce_ = false;
    bool activated_ = false;
};

// The design's font as the application's: registers the embedded copies where the system
// lacks the family. Call once after the application object exists, before Form1.
void UseDesignFonts();

}  // namespace discstart
