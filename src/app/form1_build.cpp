// Turns the design table into widgets.
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "app/controls/design_pixmap.h"
#include "app/controls/form_label.h"
#include "app/controls/limited_line_edit.h"
#include "app/controls/picture_box.h"
#include "app/form1.h"
#include "app/form1_accessible.h"
#include "app/form1_design.h"
#include "app/form1_panel.h"
#include "app/platform.h"
#include "app/twips.h"
#include "page/page_view.h"

namespace discstart {

namespace {

QColor Resolve(const DesignColour& colour, const QPalette& scheme) {
    switch (colour.kind) {
        case DesignColour::Fixed:
            return QColor(colour.rgb);
        case DesignColour::WindowText:
            return scheme.color(QPalette::WindowText);
        case DesignColour::ButtonText:
            return scheme.color(QPalette::ButtonText);
        case DesignColour::ButtonFace:
            return scheme.color(QPalette::Button);
        case DesignColour::None:
            break;
    }
    return QColor(Qt::transparent);
}

FormLabel* MakeLabel(const ControlDesign& design, QWidget* parent) {
    auto* label = new FormLabel(parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Resolve(design.fore, QGuiApplication::palette()));
    if (design.back.kind != DesignColour::None) {
        palette.setColor(QPalette::Window, Resolve(design.back, QGuiApplication::palette()));
        label->setAutoFillBackground(true);
    }
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(design.bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignTop | (design.centred ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setText(QString::fromUtf8(design.caption));
    return label;
}

QWidget* MakeControl(const ControlDesign& design, QWidget* parent, const Form1::PageViewFactory& pageViews) {
    const qreal ratio = qApp->devicePixelRatio();
    switch (design.kind) {
        case ControlKind::TextBox:
            return new LimitedLineEdit(design.maxLength, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(parent);
            box->setChecked(design.checked);
            return box;
        }
        case ControlKind::PictureBox: {
            auto* box = new PictureBox(PictureBox::Fit::TopLeft, parent);
            // Loading an empty name would make Qt try every image plugin on the folder.
            if (design.picture)
                box->setPictureOnShow([name = QString::fromUtf8(design.picture), ratio] {
                    return LoadDesignPixmap(name, ratio);
                });
            return box;
        }
        case ControlKind::Image:
            return new PictureBox(PictureBox::Fit::Stretch, parent);
        case ControlKind::Label:
            return MakeLabel(design, parent);
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(QString::fromUtf8(design.caption), parent);
            button->setAutoDefault(true);  // Enter presses it while it has the focus, as Space does
            return button;
        }
        case ControlKind::WebBrowser:
            return pageViews(parent);
        case ControlKind::FileList:
            break;
    }
    return nullptr;
}

template <typename T>
T* Named(const QHash<QString, QWidget*>& controls, const char* name) {
    return qobject_cast<T*>(controls.value(QString::fromUtf8(name)));
}

QFont DesignFont() {
    QFont font(QString::fromUtf8(Form1Design().fontFamily));
    font.setPointSizeF(Form1Design().fontPointSize);
    return font;
}

}  // namespace

void UseDesignFonts() {
    // Parsing the embedded copies costs more than the rest of the window's construction:
    // only do it where the system lacks the family.
    if (!QFontDatabase::hasFamily(QString::fromUtf8(Form1Design().fontFamily))) {
        for (const char* file : {"fonts/LiberationSans-Regular.ttf", "fonts/LiberationSans-Bold.ttf"})
            QFontDatabase::addApplicationFont(DesignResource(QString::fromUtf8(file)));
    }
    // A text box lays out its empty text in the application's font before it takes its
    // parent's: with any other font that would load a face nothing ever shows.
    QApplication::setFont(DesignFont());
}

Form1::Form1(Platform& platform, PageViewFactory pageViews, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      panel_(std::make_unique<PanelState>()) {
    if (!pageViews) pageViews = [](QWidget* p) { return CreatePageView(DefaultPageEngine(), p); };
    const FormDesign& design = Form1Design();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(design.caption));
    setFixedSize(TwipsToPixels(design.width), TwipsToPixels(design.height));
    setFont(DesignFont());
    // Where the frame is transparent the button face shows through.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);
    frame_ = LoadDesignPixmap(QString::fromUtf8(design.background), qApp->devicePixelRatio());
    buildControls(pageViews);
    connectHandlers();
    qApp->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::buildControls(const PageViewFactory& pageViews) {
    const auto controls = Form1Controls();
    QHash<QString, QWidget*> made;
    // Containers first: Label1 lives inside Picture2.
    auto ordered = std::vector<const ControlDesign*>();
    for (const ControlDesign& design : controls) ordered.push_back(&design);
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const ControlDesign* d) { return !d->container; });
    for (const ControlDesign* design : ordered) {
        if (design->kind == ControlKind::FileList) continue;  // the lists are `disc_`'s
        QWidget* container = design->container ? made.value(QString::fromUtf8(design->container)) : this;
        QWidget* widget = MakeControl(*design, container, pageViews);
        widget->setObjectName(QString::fromUtf8(design->name) +
                              (design->array ? QStringLiteral("_0") : QString()));
        widget->setGeometry(TwipsRect(design->left, design->top, design->width, design->height));
        widget->setVisible(design->visible);
        made.insert(QString::fromUtf8(design->name), widget);
    }
    // Labels and the image are drawn on their container below every windowed control.
    for (bool windowed : {false, true})
        for (auto it = controls.rbegin(); it != controls.rend(); ++it)
            if (HasOwnWindow(it->kind) == windowed && made.contains(QString::fromUtf8(it->name)))
                made.value(QString::fromUtf8(it->name))->raise();
    ui.Text1 = Named<LimitedLineEdit>(made, "Text1");
    ui.Text2 = Named<LimitedLineEdit>(made, "Text2");
    ui.Text3 = Named<LimitedLineEdit>(made, "Text3");
    ui.Text4 = Named<LimitedLineEdit>(made, "Text4");
    ui.Text5 = Named<LimitedLineEdit>(made, "Text5");
    ui.chkRB = Named<QCheckBox>(made, "chkRB");
    ui.Picture1 = Named<PictureBox>(made, "Picture1");
    ui.Picture2 = Named<PictureBox>(made, "Picture2");
    ui.Picture3 = Named<PictureBox>(made, "Picture3");
    ui.Picture4 = Named<PictureBox>(made, "Picture4");
    ui.Picture5 = Named<PictureBox>(made, "Picture5");
    ui.Picture6 = Named<PictureBox>(made, "Picture6");
    ui.Image1 = Named<PictureBox>(made, "Image1");
    ui.Label1 = Named<FormLabel>(made, "Label1");
    ui.Label2 = Named<FormLabel>(made, "Label2");
    ui.Label3 = Named<FormLabel>(made, "Label3");
    ui.Label4 = Named<FormLabel>(made, "Label4");
    ui.lblAuthor = Named<FormLabel>(made, "lblAuthor");
    ui.lblCopyright = Named<FormLabel>(made, "lblCopyright");
    ui.lbl = {Named<FormLabel>(made, "lbl")};
    ui.lblY = {Named<FormLabel>(made, "lblY")};
    ui.cmdPlay = Named<QPushButton>(made, "cmdPlay");
    ui.WebBrowser1 = Named<PageView>(made, "WebBrowser1");
    ui.Label1->setAutoSize(FindControlDesign("Label1").autoSize);

    // Only the buttons take the focus, in the order a viewer meets them: play, the page
    // button (whichever face is on top), close; then the page itself.
    for (PictureBox* button : {ui.Picture1, ui.Picture4, ui.Picture3})
        button->setButton(QColor(Form1Design().focusMark));
    focusOrder_ = {ui.cmdPlay, ui.Picture1, ui.Picture4, ui.Picture3, ui.WebBrowser1};
    for (std::size_t i = 1; i < focusOrder_.size(); ++i) setTabOrder(focusOrder_[i - 1], focusOrder_[i]);
    DescribeForAssistiveTools(*this, ui);
}

void Form1::dressAfterFirstPaint() {
    const FormDesign& form = Form1Design();
    setWindowIcon(QIcon(DesignResource(QString::fromUtf8(form.icon))));
    const QPixmap pointer = LoadDesignPixmap(QString::fromUtf8(form.cursor), devicePixelRatioF());
    if (pointer.isNull()) return;
    for (const ControlDesign& design : Form1Controls())
        if (design.customPointer)
            findChild<QWidget*>(QString::fromUtf8(design.name))
                ->setCursor(QCursor(pointer, form.cursorHotSpot.x(), form.cursorHotSpot.y()));
}

void Form1::paintEvent(QPaintEvent*) {
    if (!frame_.isNull()) QPainter(this).drawPixmap(QRect(QPoint(0, 0), size()), frame_);
    if (paintedOnce_) return;
    paintedOnce_ = true;
    firstPaintDone();
}

int Form1::LeftOf(const QWidget* control) {
    return PixelsToTwips(control->x());
}
int Form1::TopOf(const QWidget* control) {
    return PixelsToTwips(control->y());
}

}  // namespace discstart
