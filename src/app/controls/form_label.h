#pragma once

#include <QLabel>

namespace discstart {

// A label drawn on its container: transparent or filled with its background colour,
// plain text on one line at the top of its box. It takes mouse presses itself (so a press
// on it never reaches the window behind it) and reports them with a button mask.
class FormLabel : public QLabel {
    Q_OBJECT
  public:
    explicit FormLabel(QWidget* parent = nullptr);

    // From the next caption on, keeps the left edge and fits the width to the text.
    void setAutoSize(bool autoSize);
    bool autoSize() const { return autoSize_; }
    void setCaption(const QString& caption);

    // A new label beside this one with the same look, place, size and caption; hidden.
    FormLabel* copy() const;

    // The caption as drawn: a centred caption wider than the box keeps its beginning and
    // ends in an ellipsis (and is drawn from the left edge). text() keeps it whole.
    QString shownText() const;

  signals:
    void mouseDown(int buttonMask);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void fitToText();

    bool autoSize_ = false;
};

}  // namespace discstart
