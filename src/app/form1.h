#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/form1_ui.h"
#include "content/discovery.h"

namespace discstart {

class Form1View;
class Platform;

// The launcher window. Its controls are its own (`ui`), under their design names. The design's
// file lists are DiscoverContent's, as discinfo and the disc check see them.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    using PageViewFactory = std::function<PageView*(QWidget* parent)>;

    // `pageViews` makes WebBrowser1; by default the build's default page engine.
    explicit Form1(Platform& platform, PageViewFactory pageViews = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: called once before the window is shown. Lets a real failure escape.
    void Form_Load();

    // Where a control stands, in twips of its container.
    static int LeftOf(const QWidget* control);
    static int TopOf(const QWidget* control);

  protected:
    // The window's procedures, virtual so a subclass can watch the order they run in.
    virtual void labelY();
    virtual void labelX();
    virtual void DataIN();
    virtual void load_html();
    virtual void loadImage();
    virtual void label();
    virtual void play();

    // The application directory's movie, picture and page, as DataIN found them.
    const DiscContent& disc() const { return disc_; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What the tests see of the inside; see tests/support/form1_view.h.
    friend class Form1View;
    struct PanelState;  // app/form1_panel.h

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

    Form1Ui ui;
    Platform& platform_;
    DiscContent disc_;
    QString moviePath_;  // the movie play() handed on
    const std::unique_ptr<PanelState> panel_;
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
