#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

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

  signals:
    void mouseDown(int buttonMask);
    void mouseUp(int buttonMask);
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void loadPendingPicture();

    Fit fit_;
    QPixmap picture_;
    std::function<QPixmap()> pendingPicture_;
};
