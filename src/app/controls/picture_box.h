#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

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
    const QPixmap& picture() const { return picture_; }

  signals:
    void mouseDown(int buttonMask);
    void mouseUp(int buttonMask);
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Fit fit_;
    QPixmap picture_;
};
