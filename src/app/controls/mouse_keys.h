#pragma once

#include <Qt>

namespace discstart {

// The window's handlers speak in the old masks and key codes.
inline constexpr int LeftButton = 1;
inline constexpr int RightButton = 2;
inline constexpr int MiddleButton = 4;

inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;

inline constexpr int KeyEscape = 27;
inline constexpr int KeyF1 = 112;
inline constexpr int KeyF4 = 115;

int ButtonMask(Qt::MouseButtons buttons);
int ModifierMask(Qt::KeyboardModifiers modifiers);
// The key code of a Qt key: Esc 27, F1..F24 from 112, letters and digits as their
// upper-case character; 0 for any key the window has no use for.
int KeyCode(int qtKey);

}  // namespace discstart
