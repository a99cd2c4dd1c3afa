#pragma once

#include <QApplication>
#include <QMessageBox>
#include <algorithm>

namespace discstart {

// The window never shows a message box of its own, whatever fails.
inline bool MessageBoxShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
}

}  // namespace discstart
