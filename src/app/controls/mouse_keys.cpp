#include "app/controls/mouse_keys.h"

namespace discstart {

int ButtonMask(Qt::MouseButtons buttons) {
    int mask = 0;
    if (buttons & Qt::LeftButton) mask |= LeftButton;
    if (buttons & Qt::RightButton) mask |= RightButton;
    if (buttons & Qt::MiddleButton) mask |= MiddleButton;
    return mask;
}

int ModifierMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= ShiftMask;
    if (modifiers & Qt::ControlModifier) mask |= CtrlMask;
    if (modifiers & Qt::AltModifier) mask |= AltMask;
    return mask;
}

int KeyCode(int qtKey) {
    if (qtKey == Qt::Key_Escape) return KeyEscape;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return KeyF1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    return 0;
}

}  // namespace discstart
