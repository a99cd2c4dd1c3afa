#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

namespace discstart {

// A borderless picture box: draws its picture at its top-left corner, or (for the image
// control) stretched to its own size. Reports presses, releases and clicks with a button
// mask (1 left, 2 right, 4 middle) and accepts them, so they never reach the window.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    enum class Fit { TopLeft, Stretch };
    explicit PictureBox(Fit fit, QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    void setPicture(const QImage& picture);
    // The picture is decoded when the box is first shown: a face that starts hidden costs
    // the start nothing. A box already shown decodes it at once.
    void setPictureOnShow(std::function<QPixmap()> load);
    const QPixmap& picture() const { return picture_; }

    // Makes the box a button for the keyboard and assistive tools: a tab stop that shows
    // a frame in `focusMark` while it has the focus, pressed by Space and Return.
    void setButton(QColor focusMark);
    bool isButton() const { return focusMark_.isValid(); }
    // Presses the button without the mouse.
    void press();

  signals:
    void mouseDown(int buttonMask);
    void mouseUp(int buttonMask);
    void clicked();
    // Pressed without the mouse: a key or an assistive tool. The mouse signals stay silent.
    void activated();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void loadPendingPicture();

    Fit fit_;
    QPixmap picture_;
    std::function<QPixmap()> pendingPicture_;
    QColor focusMark_;
};

}  // namespace discstart
