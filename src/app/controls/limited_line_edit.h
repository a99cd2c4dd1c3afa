#pragma once

#include <QLineEdit>

namespace discstart {

// A single-line text box that keeps only the first `limit` characters of any text put
// into it. Characters are code points: a surrogate pair is never split.
class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit LimitedLineEdit(int limit, QWidget* parent = nullptr);

    int limit() const { return limit_; }
    // Cuts, then sets the text; textChanged fires only when the text really changes.
    void putText(const QString& text);

  private:
    int limit_;
};

// The first `count` code points of `text`.
QString CutToCharacters(const QString& text, int count);

}  // namespace discstart
