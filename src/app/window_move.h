#pragma once

class QWidget;

namespace discstart {

// Moves `window` with the mouse until the left button is released, for systems where the
// window manager cannot be asked to do it. The window is kept reachable: its top row
// never leaves the screen.
void StartManualWindowMove(QWidget& window);

}  // namespace discstart
